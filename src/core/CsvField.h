#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ambrin {

// The log file's field codec. A field is written in double quotes with LF and CR escaped as
// \n and \r, a double quote turned into an apostrophe and a backslash into a slash; read
// back, quotes are dropped and backslash escapes undone.

std::string EncodeField(std::string_view text);
void AppendEncodedField(std::string& out, std::string_view text);
// Writes the encoded field at w, which has room for 2 * text.size() + 2 bytes; returns its end.
char* PutEncodedField(char* w, std::string_view text);
std::string DecodeField(std::string_view text);

// A position in one line (no LF) for NextField. afterComma remembers that the last field
// ended at a comma, so a comma at the end of the line yields an empty last field.
struct FieldCursor {
    std::string_view line;
    std::size_t pos = 0;
    bool afterComma = false;
};

// Sets field to the next decoded field and moves past it; false when none is left.
bool NextField(FieldCursor& cursor, std::string& field);

// The fields of one line as a row: CRs dropped wherever they stand, trailing spaces cut.
// fields is filled from its start and keeps its texts' memory from row to row; returns how
// many fields the line holds (0 for a blank line).
std::size_t SplitRow(std::string_view line, std::vector<std::string>& fields);

}  // namespace ambrin
