#include "storage/ProjectList.h"

#include "core/LogText.h"

#include <ostream>

namespace ambrin {

namespace {

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

}  // namespace

int ProjectList::Find(std::string_view name) const
{
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (SameName(names_[i], name)) return static_cast<int>(i);
    }
    return -1;
}

void ProjectList::AddName(std::string_view name)
{
    name = TrimSpaces(name);
    if (Find(name) < 0) names_.emplace_back(name);
}

bool ProjectList::ReadList(std::istream& in)
{
    ProjectList read;
    const bool ok = ForEachLine(in, [&read](std::string_view line) {
        while (!line.empty() && IsControl(line.back())) line.remove_suffix(1);
        if (!line.empty()) read.AddName(line);
    });
    if (ok) names_ = std::move(read.names_);
    return ok;
}

std::string ProjectList::Text() const
{
    std::string data;
    // A first name that begins as a byte-order mark would lose it on reading (the mark of a
    // spreadsheet's file is no text): a mark of its own goes before it.
    if (!names_.empty() && names_.front().rfind("\xEF\xBB\xBF", 0) == 0) data = "\xEF\xBB\xBF";
    for (const std::string& name : names_) {
        data += name;
        data += "\r\n";
    }
    return data;
}

bool ProjectList::WriteList(std::ostream& out) const
{
    const std::string data = Text();
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    return !out.fail();
}

}  // namespace ambrin
