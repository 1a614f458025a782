#include "storage/CsvLog.h"

#include "core/LogText.h"
#include "storage/PartedLogRead.h"

#include <istream>
#include <ostream>

namespace ambrin {

bool CsvTable::Write(std::ostream& out) const
{
    std::string data;
    for (const CsvRow& row : rows_) {
        for (std::size_t i = 0; i < row.Count(); ++i) {
            if (i > 0) data.push_back(',');
            AppendEncodedField(data, row.Field(i));
        }
        data += "\r\n";
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    return !out.fail();
}

bool CsvTable::Read(std::istream& in)
{
    std::vector<CsvRow> rows;
    std::vector<std::string> fields;
    const bool ok = ForEachLine(in, [&](std::string_view line) {
        const std::size_t count = SplitRow(line, fields);
        if (count == 0) return;
        CsvRow row;
        for (std::size_t i = 0; i < count; ++i) row.AddField(fields[i]);
        rows.push_back(std::move(row));
    });
    if (ok) rows_ = std::move(rows);
    return ok;
}

bool ReadCsvFile(TimeLog& log, const std::string& path)
{
    PartedLogRead read(path);
    return read.Finish(log);
}

}  // namespace ambrin
