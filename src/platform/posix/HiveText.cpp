#include "platform/posix/HiveText.h"

#include "platform/SettingsHive.h"

namespace ambrin::platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string_view WithoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads a quoted text with \\ and \" escapes from the start of text; pos moves past it.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"') return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < text.size()) c = text[++pos];
        out.push_back(c);
    }
    return false;
}

// hex bytes "aa,bb,..." (continuations already joined); false on anything else.
bool ReadHexBytes(std::string_view text, std::string& bytes)
{
    bytes.clear();
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        if (i + 1 >= text.size() || HexDigit(text[i]) < 0 || HexDigit(text[i + 1]) < 0) return false;
        bytes.push_back(static_cast<char>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
        i += 2;
        skipBlanks();
        if (i < text.size() && text[i] == ',') ++i;
        skipBlanks();
    }
    return true;
}

bool ReadValueData(std::string_view data, std::uint32_t& type, std::string& bytes)
{
    std::size_t pos = 0;
    if (!data.empty() && data.front() == '"') {
        if (!ReadQuoted(data, pos, bytes) || pos != data.size()) return false;
        bytes.push_back('\0');  // a text holds its terminating zero
        type = kTypeText;
        return true;
    }
    if (data.size() > 6 && EqualIgnoringCase(data.substr(0, 6), "dword:")) {
        const std::string_view digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t value = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0) return false;
            value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        bytes.clear();
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
        type = kTypeNumber;
        return true;
    }
    if (data.size() >= 4 && EqualIgnoringCase(data.substr(0, 4), "hex:")) {
        type = kTypeBinary;
        return ReadHexBytes(data.substr(4), bytes);
    }
    if (data.size() >= 5 && EqualIgnoringCase(data.substr(0, 4), "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        std::uint32_t value = 0;
        for (char c : data.substr(4, close - 4)) {
            if (HexDigit(c) < 0) return false;
            value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        type = value;
        return ReadHexBytes(data.substr(close + 2), bytes);
    }
    return false;
}

// Only hex values continue over lines ("...=hex:aa,\\" then "  bb"); a line that is no
// value ("[...", a comment) never does.
bool IsHexValue(std::string_view joined, std::string_view physical)
{
    std::string text(joined);
    text.append(physical);
    if (text.empty() || (text.front() != '"' && text.front() != '@')) return false;
    for (char& c : text) c = Lower(c);
    return text.find("=hex:") != std::string::npos || text.find("=hex(") != std::string::npos;
}

std::string EscapeQuoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string NumberLine(std::string_view name, std::uint32_t value)
{
    static const char kHex[] = "0123456789abcdef";
    std::string line = EscapeQuoted(name) + "=dword:";
    for (int shift = 28; shift >= 0; shift -= 4) line.push_back(kHex[(value >> shift) & 0xF]);
    return line + "\r\n";
}

std::string NumberBytes(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

}  // namespace

bool HiveText::Parse(std::string_view text)
{
    entries_.clear();
    if (text.empty()) return true;
    if (text.substr(0, kHeader.size()) != kHeader) return false;
    const std::string_view afterHeader = text.substr(kHeader.size());
    if (!afterHeader.empty() && afterHeader.front() != '\r' && afterHeader.front() != '\n') {
        return false;
    }

    std::size_t section = kNone;
    std::size_t begin = 0;
    while (begin < text.size()) {
        // One logical line: a hex value ending in a backslash continues on the next line.
        Entry entry;
        std::string joined;
        std::size_t end = begin;
        for (;;) {
            const std::size_t lf = text.find('\n', end);
            const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
            std::string_view physical = WithoutLineEnd(text.substr(end, next - end));
            if (!joined.empty()) {
                while (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
                    physical.remove_prefix(1);
                }
            }
            end = next;
            const bool continues = !physical.empty() && physical.back() == '\\' &&
                                   end < text.size() && IsHexValue(joined, physical);
            if (continues) {
                physical.remove_suffix(1);
                joined.append(physical);
                continue;
            }
            joined.append(physical);
            break;
        }
        entry.raw.assign(text.substr(begin, end - begin));
        begin = end;

        const std::string_view line = joined;
        if (entries_.empty()) {
            entry.kind = Entry::Kind::Header;
        } else if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            entry.kind = Entry::Kind::Section;
            entry.name.assign(line.substr(1, line.size() - 2));
            section = entries_.size();
        } else if (section != kNone && !line.empty() && (line.front() == '"' || line.front() == '@')) {
            std::size_t pos = 0;
            std::string name;
            bool named = line.front() == '@' ? (++pos, true) : ReadQuoted(line, pos, name);
            if (named && pos < line.size() && line[pos] == '=' &&
                ReadValueData(line.substr(pos + 1), entry.type, entry.bytes)) {
                entry.kind = Entry::Kind::Value;
                entry.name = std::move(name);
            }
        }
        entry.section = section;
        entries_.push_back(std::move(entry));
    }
    return true;
}

std::size_t HiveText::FindSection(std::string_view section) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind == Entry::Kind::Section && EqualIgnoringCase(entries_[i].name, section)) {
            return i;
        }
    }
    return kNone;
}

bool HiveText::HasSection(std::string_view section) const
{
    return FindSection(section) != kNone;
}

bool HiveText::Find(std::string_view section, std::string_view name, std::uint32_t& type,
                    std::string& bytes) const
{
    const Entry* found = nullptr;
    for (const Entry& entry : entries_) {
        if (entry.kind == Entry::Kind::Value && entry.section != kNone &&
            EqualIgnoringCase(entries_[entry.section].name, section) &&
            EqualIgnoringCase(entry.name, name)) {
            found = &entry;
        }
    }
    if (!found) return false;
    type = found->type;
    bytes = found->bytes;
    return true;
}

void HiveText::AddSection(std::string_view section)
{
    if (HasSection(section)) return;
    if (entries_.empty()) {
        entries_.push_back({Entry::Kind::Header, std::string(kHeader) + "\r\n", {}, 0, {}, kNone});
    }
    Entry& last = entries_.back();
    if (!last.raw.empty() && last.raw.back() != '\n') last.raw += "\r\n";
    entries_.push_back({Entry::Kind::Other, "\r\n", {}, 0, {}, kNone});
    entries_.push_back({Entry::Kind::Section, "[" + std::string(section) + "]\r\n",
                        std::string(section), 0, {}, kNone});
    Reindex();
}

void HiveText::SetNumber(std::string_view section, std::string_view name, std::uint32_t value)
{
    AddSection(section);
    // The key may be given by several headers; the value that counts is the last one.
    Entry* existing = nullptr;
    std::size_t lastOfSection = kNone;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        if (entry.section == kNone || !EqualIgnoringCase(entries_[entry.section].name, section)) {
            continue;
        }
        if (entry.kind == Entry::Kind::Value && EqualIgnoringCase(entry.name, name)) existing = &entry;
        if (entry.kind == Entry::Kind::Section || !WithoutLineEnd(entry.raw).empty()) lastOfSection = i;
    }
    if (existing) {
        existing->raw = NumberLine(existing->name, value);
        existing->type = kTypeNumber;
        existing->bytes = NumberBytes(value);
        return;
    }
    Entry& before = entries_[lastOfSection];
    if (!before.raw.empty() && before.raw.back() != '\n') before.raw += "\r\n";
    // A line ending in a backslash would take the new line as its continuation.
    if (WithoutLineEnd(before.raw).ends_with('\\')) before.raw += "\r\n";
    Entry entry{Entry::Kind::Value, NumberLine(name, value), std::string(name), kTypeNumber,
                NumberBytes(value), kNone};
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(lastOfSection + 1), std::move(entry));
    Reindex();
}

void HiveText::Reindex()
{
    std::size_t section = kNone;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind == Entry::Kind::Section) section = i;
        entries_[i].section = section;
    }
}

std::string HiveText::Text() const
{
    std::string text;
    for (const Entry& entry : entries_) text += entry.raw;
    return text;
}

}  // namespace ambrin::platform
