#include "storage/ProjectList.h"

#include "storage/CsvLog.h"

#include <ostream>

namespace ambrin {

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::string_view TrimSpaces(std::string_view name)
{
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

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
    std::string data;
    if (!ReadWholeStream(in, data)) return false;
    ProjectList read;
    std::size_t begin = 0;
    while (begin < data.size()) {
        std::size_t end = data.find('\n', begin);
        if (end == std::string::npos) end = data.size();
        std::string_view line(data.data() + begin, end - begin);
        begin = end + 1;
        while (!line.empty() && IsControl(line.back())) line.remove_suffix(1);
        if (!line.empty()) read.AddName(line);
    }
    names_ = std::move(read.names_);
    return true;
}

std::string ProjectList::Text() const
{
    std::string data;
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
