// The user guide that ships with Ambrin, made from the README's user sections (those before
// "## Building"): headings, paragraphs, lists, tables, code blocks, pictures and links.
//   ambrin-guide README.md guide.html
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Escape(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// `code`, **bold**, ![picture](path) and [link](target) within a line.
std::string Inline(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '`') {
            const std::size_t end = text.find('`', i + 1);
            if (end != std::string::npos) {
                out += "<code>" + Escape(text.substr(i + 1, end - i - 1)) + "</code>";
                i = end + 1;
                continue;
            }
        }
        if (text.compare(i, 2, "**") == 0) {
            const std::size_t end = text.find("**", i + 2);
            if (end != std::string::npos) {
                out += "<strong>" + Inline(text.substr(i + 2, end - i - 2)) + "</strong>";
                i = end + 2;
                continue;
            }
        }
        const bool picture = text.compare(i, 2, "![") == 0;
        if (picture || text[i] == '[') {
            const std::size_t close = text.find("](", i);
            const std::size_t end = close == std::string::npos ? close : text.find(')', close);
            if (end != std::string::npos) {
                const std::string label = text.substr(i + (picture ? 2 : 1), close - i - (picture ? 2 : 1));
                const std::string target = Escape(text.substr(close + 2, end - close - 2));
                out += picture ? "<img src=\"" + target + "\" alt=\"" + Escape(label) + "\">"
                               : "<a href=\"" + target + "\">" + Inline(label) + "</a>";
                i = end + 1;
                continue;
            }
        }
        out += Escape(std::string(1, text[i]));
        ++i;
    }
    return out;
}

std::vector<std::string> Cells(const std::string& row)
{
    std::vector<std::string> cells;
    std::stringstream in(row.substr(1, row.size() - 2));
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell.substr(cell.find_first_not_of(' ')));
    return cells;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    std::ifstream in(argv[1]);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line) && line.rfind("## Building", 0) != 0;) lines.push_back(line);
    std::ostringstream html;
    html << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Ambrin user guide</title>\n"
         << "<style>body{font-family:sans-serif;max-width:50em;margin:2em auto;padding:0 1em;line-height:1.45}"
         << "pre{background:#f4f4f4;padding:.6em;overflow-x:auto}table{border-collapse:collapse}"
         << "td,th{border:1px solid #ccc;padding:.2em .5em}img{max-width:100%}</style></head><body>\n";
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        if (line.empty()) {
            ++i;
        } else if (line.rfind("```", 0) == 0) {
            html << "<pre>";
            for (++i; i < lines.size() && lines[i].rfind("```", 0) != 0; ++i) html << Escape(lines[i]) << "\n";
            html << "</pre>\n";
            ++i;
        } else if (line[0] == '#') {
            const std::size_t level = line.find_first_not_of('#');
            html << "<h" << level << ">" << Inline(line.substr(level + 1)) << "</h" << level << ">\n";
            ++i;
        } else if (line[0] == '|') {
            html << "<table>\n<tr>";
            for (const std::string& cell : Cells(line)) html << "<th>" << Inline(cell) << "</th>";
            html << "</tr>\n";
            for (i += 2; i < lines.size() && !lines[i].empty() && lines[i][0] == '|'; ++i) {
                html << "<tr>";
                for (const std::string& cell : Cells(lines[i])) html << "<td>" << Inline(cell) << "</td>";
                html << "</tr>\n";
            }
            html << "</table>\n";
        } else if (line.rfind("- ", 0) == 0) {
            html << "<ul>\n";
            while (i < lines.size() && lines[i].rfind("- ", 0) == 0) {
                std::string item = lines[i++].substr(2);
                for (; i < lines.size() && lines[i].rfind("  ", 0) == 0; ++i) item += " " + lines[i].substr(2);
                html << "<li>" << Inline(item) << "</li>\n";
            }
            html << "</ul>\n";
        } else {
            const bool quote = line[0] == '>';
            std::string paragraph;
            for (; i < lines.size() && !lines[i].empty() && lines[i][0] != '#' && lines[i][0] != '|' && lines[i].rfind("```", 0) != 0 &&
                   lines[i].rfind("- ", 0) != 0;
                 ++i) {
                paragraph += (paragraph.empty() ? "" : " ") + (quote ? lines[i].substr(lines[i].find_first_not_of("> ")) : lines[i]);
            }
            html << (quote ? "<blockquote>" : "<p>") << Inline(paragraph) << (quote ? "</blockquote>\n" : "</p>\n");
        }
    }
    html << "</body></html>\n";
    std::ofstream out(argv[2], std::ios::binary);
    out << html.str();
    return out ? 0 : 1;
}
