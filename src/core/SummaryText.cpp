#include "core/SummaryText.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace ambrin {

namespace {

// The cells with time, by period then project.
std::vector<std::pair<std::size_t, std::size_t>> CellsByPeriod(const TimeSummary& s)
{
    std::vector<std::pair<std::size_t, std::size_t>> cells;  // period, project
    for (std::size_t q = 0; q < s.periods.size(); ++q) {
        for (std::size_t p = 0; p < s.projects.size(); ++p) {
            if (s.At(p, q) != 0) cells.emplace_back(q, p);
        }
    }
    return cells;
}

// Rows of cells: a header, a row per project, a total row; the first column names them. A
// project's empty period is left blank, so the periods it has time in stand out.
std::vector<std::vector<std::string>> Grid(const TimeSummary& s)
{
    std::vector<std::vector<std::string>> grid;
    std::vector<std::string> header{"Project"};
    header.insert(header.end(), s.periods.begin(), s.periods.end());
    header.emplace_back("Total");
    grid.push_back(std::move(header));
    for (std::size_t p = 0; p < s.projects.size(); ++p) {
        std::vector<std::string> row{s.projects[p]};
        for (std::size_t q = 0; q < s.periods.size(); ++q) {
            row.push_back(s.At(p, q) == 0 ? std::string() : FormatHoursMinutes(s.At(p, q)));
        }
        row.push_back(FormatHoursMinutes(s.ProjectTotal(p)));
        grid.push_back(std::move(row));
    }
    std::vector<std::string> totals{"Total"};
    for (std::size_t q = 0; q < s.periods.size(); ++q) totals.push_back(FormatHoursMinutes(s.PeriodTotal(q)));
    totals.push_back(FormatHoursMinutes(s.total));
    grid.push_back(std::move(totals));
    return grid;
}

// Columns as a terminal shows them: a UTF-8 sequence is one.
std::size_t Width(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void AppendCsvField(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// A JSON string: valid UTF-8 as it is, any other byte as the Latin-1 character of its value.
void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char escape[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
            bool valid = length != 0 && c < 0xF5 && i + length <= text.size();
            for (std::size_t k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (valid) {
                out.append(text, i, length);
                i += length - 1;
            } else {
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            }
        }
    }
    out += '"';
}

std::string Decimal(std::int64_t value)
{
    return std::to_string(value);
}

}  // namespace

std::string JsonString(const std::string& text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

const char* GroupingName(SummaryGrouping by)
{
    switch (by) {
    case SummaryGrouping::Week: return "week";
    case SummaryGrouping::Month: return "month";
    case SummaryGrouping::Day: break;
    }
    return "day";
}

std::string FormatHoursMinutes(std::int64_t seconds)
{
    const std::int64_t minutes = seconds / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld:%02lld", minutes < 0 ? "-" : "", static_cast<long long>(std::abs(minutes) / 60),
                  static_cast<long long>(std::abs(minutes) % 60));
    return text;
}

std::string SummaryAsTable(const TimeSummary& s)
{
    const auto grid = Grid(s);
    std::vector<std::size_t> widths(grid.front().size(), 0);
    for (const auto& row : grid) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
    }
    std::string out;
    for (const auto& row : grid) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - Width(row[c]), ' ');
            if (c == 0) line += row[c] + pad;  // names to the left, hours to the right
            else line += "  " + pad + row[c];
        }
        out += line + '\n';
    }
    if (s.skipped != 0) out += Decimal(s.skipped) + " records skipped: they end before they start.\n";
    return out;
}

std::string SummaryAsTabs(const TimeSummary& s)
{
    std::string out;
    for (const auto& row : Grid(s)) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c != 0) out += '\t';
            std::string cell = row[c].empty() ? std::string("0:00") : row[c];
            std::replace_if(cell.begin(), cell.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
            out += cell;
        }
        out += "\r\n";
    }
    return out;
}

std::string SummaryAsCsv(const TimeSummary& s)
{
    std::string out;
    char hours[32];
    for (const auto& [q, p] : CellsByPeriod(s)) {
        std::snprintf(hours, sizeof hours, "%.2f", static_cast<double>(s.At(p, q)) / 3600.0);
        for (const std::string* field : {&s.periods[q], &s.projects[p]}) {
            AppendCsvField(out, *field);
            out += ',';
        }
        AppendCsvField(out, hours);
        out += ',';
        AppendCsvField(out, Decimal(s.At(p, q)));
        out += "\r\n";
    }
    return out;
}

std::string SummaryAsJson(const TimeSummary& s)
{
    std::string out = "{\"from\": \"" + FormatIsoDate(s.from) + "\", \"to\": \"" + FormatIsoDate(s.to) + "\", \"by\": \"" +
                      GroupingName(s.by) + "\", \"rows\": [";
    bool first = true;
    for (const auto& [q, p] : CellsByPeriod(s)) {
        out += first ? "\n  {\"period\": " : ",\n  {\"period\": ";
        first = false;
        AppendJsonString(out, s.periods[q]);
        out += ", \"project\": ";
        AppendJsonString(out, s.projects[p]);
        out += ", \"seconds\": " + Decimal(s.At(p, q)) + "}";
    }
    out += first ? "]" : "\n]";
    out += ", \"total_seconds\": " + Decimal(s.total) + ", \"skipped\": " + Decimal(s.skipped) + "}\n";
    return out;
}

}  // namespace ambrin
