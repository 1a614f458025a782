#pragma once

#include "core/ClockTime.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ambrin {

class TimeLog;

// A command to the strip from outside it: one line of text on the local socket, or carried out
// on the files by the command line itself when no strip runs.
struct StripRequest {
    enum class Kind { Show, Status, Start, Stop, Notes };
    Kind kind = Kind::Show;
    ClockTime at;          // Start and Stop: empty means now
    std::string text;      // Start: the project; Notes: the notes (CR LF between lines)
    bool json = false;     // Status: the JSON form
};

// At most this many bytes a line, its "\n" included: a longer one is refused unread.
inline constexpr std::size_t kRequestLimit = 4096;

// The line for a request, and back. Fields are separated by tabs; a tab, a line break and a
// backslash inside one are written \t, \n and \\. Nothing for a line that is not a request.
std::string RequestLine(const StripRequest& request);
std::optional<StripRequest> ParseRequest(std::string_view line);

// The answer line: "ok\t<text>" or "error\t<reason>", escaped alike.
std::string ReplyLine(bool ok, std::string_view text);
// Reads a reply; false for a line that is not one.
bool ParseReply(std::string_view line, bool& ok, std::string& text);

// Carries out Start, Stop or Notes on the log as the strip's own controls do (the same switch,
// the same rounding); the caller adds a started project to the list and saves. Returns what to
// tell: empty when done, else why not (nothing changed then).
std::string ApplyRequest(TimeLog& log, const StripRequest& request, ClockTime now, bool round);

}  // namespace ambrin
