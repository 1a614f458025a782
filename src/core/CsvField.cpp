#include "core/CsvField.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ambrin {

namespace {

// The bytes a field's text replaces or escapes, looked up rather than compared in turn:
// texts are mostly copied whole.
struct EncodedBytes {
    bool special[256] = {};
    constexpr EncodedBytes()
    {
        for (const unsigned char c : {'\n', '\r', '"', '\\'}) special[c] = true;
    }
};
constexpr EncodedBytes kEncoded;

bool NeedsEncoding(char c)
{
    return kEncoded.special[static_cast<unsigned char>(c)];
}

// Whether any of the eight bytes of word is c: exact, with no false alarms.
bool HasByte(std::uint64_t word, unsigned char c)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t x = word ^ (kOnes * c);
    return ((x - kOnes) & ~x & kHighs) != 0;
}

bool HasEncodedByte(std::uint64_t word)
{
    return HasByte(word, '\n') || HasByte(word, '\r') || HasByte(word, '"') || HasByte(word, '\\');
}

// Undoes backslash escapes in place: the text only shrinks.
void DecodeInPlace(std::string& text)
{
    std::size_t from = text.find('\\');
    if (from == std::string::npos) return;
    std::size_t to = from;
    while (from < text.size()) {
        const char c = text[from++];
        if (c != '\\' || from == text.size()) {
            text[to++] = c;  // a backslash that ends the text stays
            continue;
        }
        const char escaped = text[from++];
        text[to++] = escaped == 'n' ? '\n' : (escaped == 'r' ? '\r' : escaped);
    }
    text.resize(to);
}

// The index of the first of the given bytes at or after pos, or the line's end.
std::size_t FindAny(std::string_view line, std::size_t pos, char a, char b)
{
    while (pos < line.size() && line[pos] != a && line[pos] != b) ++pos;
    return pos;
}

}  // namespace

char* PutEncodedField(char* w, std::string_view text)
{
    *w++ = '"';
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        // Eight bytes at a time while none needs encoding: texts mostly go over whole.
        std::uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), !HasEncodedByte(word))) {
            std::memcpy(w, p, 8);
            w += 8;
            p += 8;
            continue;
        }
        const char c = *p++;
        switch (NeedsEncoding(c) ? c : 0) {
        case '\n': *w++ = '\\'; *w++ = 'n'; break;
        case '\r': *w++ = '\\'; *w++ = 'r'; break;
        case '"': *w++ = '\''; break;
        case '\\': *w++ = '/'; break;
        default: *w++ = c;
        }
    }
    *w++ = '"';
    return w;
}

void AppendEncodedField(std::string& out, std::string_view text)
{
    const std::size_t used = out.size();
    out.resize(used + 2 * text.size() + 2);
    out.resize(static_cast<std::size_t>(PutEncodedField(out.data() + used, text) - out.data()));
}

std::string EncodeField(std::string_view text)
{
    std::string out;
    AppendEncodedField(out, text);
    return out;
}

std::string DecodeField(std::string_view text)
{
    std::string out(text);
    DecodeInPlace(out);
    return out;
}

bool NextField(FieldCursor& cursor, std::string& field)
{
    const std::string_view line = cursor.line;
    std::size_t pos = cursor.pos;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\r' || line[pos] == '\n')) ++pos;
    field.clear();
    if (pos >= line.size()) {
        cursor.pos = line.size();
        // A comma at the end of a line ends the row with an empty last field.
        const bool emptyLast = cursor.afterComma;
        cursor.afterComma = false;
        return emptyLast;
    }
    cursor.afterComma = false;
    if (line[pos] == '"') {
        // Inside quotes up to the closing one; after it, quotes are dropped up to a comma.
        const std::size_t close = std::min(line.find('"', pos + 1), line.size());
        field.append(line, pos + 1, close - pos - 1);
        pos = close;
        while (pos < line.size()) {
            const std::size_t stop = FindAny(line, pos + 1, ',', '"');
            field.append(line, pos + 1, stop - pos - 1);
            pos = stop;
            if (pos < line.size() && line[pos] == ',') break;
        }
    } else {
        const std::size_t comma = std::min(line.find(',', pos), line.size());
        field.append(line, pos, comma - pos);
        pos = comma;
    }
    if (pos < line.size()) {  // at the comma that ends the field
        cursor.afterComma = true;
        ++pos;
    }
    cursor.pos = pos;
    DecodeInPlace(field);
    return true;
}

std::size_t SplitRow(std::string_view line, std::vector<std::string>& fields)
{
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // the usual CR LF
    std::string cleaned;
    if (line.find('\r') != std::string_view::npos) {
        cleaned.assign(line);
        std::erase(cleaned, '\r');
        line = cleaned;
    }
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    std::size_t count = 0;
    FieldCursor cursor{line};
    for (;; ++count) {
        if (count == fields.size()) fields.emplace_back();
        if (!NextField(cursor, fields[count])) break;
    }
    return count;
}

}  // namespace ambrin
