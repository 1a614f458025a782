#include "core/StripRequest.h"

#include "core/ProjectName.h"
#include "core/ProjectSwitch.h"
#include "core/TimeLog.h"

#include <charconv>
#include <vector>

namespace ambrin {

namespace {

constexpr struct {
    StripRequest::Kind kind;
    std::string_view word;
} kWords[] = {{StripRequest::Kind::Show, "show"},   {StripRequest::Kind::Status, "status"}, {StripRequest::Kind::Start, "start"},
              {StripRequest::Kind::Stop, "stop"},   {StripRequest::Kind::Notes, "notes"}};

std::string Escape(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\') out += '\\';
        else if (text[i] == 't') out += '\t';
        else if (text[i] == 'n') out += '\n';
        else return std::nullopt;
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// A time as its ticks in decimal; empty for none.
std::optional<ClockTime> ParseTicks(std::string_view text)
{
    if (text.empty()) return ClockTime();
    std::uint64_t ticks = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ticks);
    ClockTime last;
    last.FromFields(30827, 12, 31, 23, 59, 59);  // the calendar's end
    if (error != std::errc() || end != text.data() + text.size() || ticks == 0 || ticks > last.Ticks()) return std::nullopt;
    return ClockTime(ticks);
}

}  // namespace

std::string RequestLine(const StripRequest& r)
{
    std::string line;
    for (const auto& [kind, word] : kWords) {
        if (kind == r.kind) line = word;
    }
    switch (r.kind) {
    case StripRequest::Kind::Status: line += r.json ? "\tjson" : "\ttext"; break;
    case StripRequest::Kind::Start: line += "\t" + (r.at.IsEmpty() ? std::string() : std::to_string(r.at.Ticks())) + "\t" + Escape(r.text); break;
    case StripRequest::Kind::Stop: line += "\t" + (r.at.IsEmpty() ? std::string() : std::to_string(r.at.Ticks())); break;
    case StripRequest::Kind::Notes: line += "\t" + Escape(r.text); break;
    case StripRequest::Kind::Show: break;
    }
    return line + "\n";
}

std::optional<StripRequest> ParseRequest(std::string_view line)
{
    if (line.size() > kRequestLimit || line.empty() || line.back() != '\n') return std::nullopt;
    line.remove_suffix(1);
    if (line.find('\n') != std::string_view::npos) return std::nullopt;  // one line, its breaks escaped
    const std::vector<std::string_view> fields = Fields(line);
    StripRequest request;
    bool known = false;
    for (const auto& [kind, word] : kWords) {
        if (word == fields[0]) request.kind = kind, known = true;
    }
    if (!known) return std::nullopt;
    const std::size_t wanted[] = {1, 2, 3, 2, 2};  // fields of Show, Status, Start, Stop, Notes
    if (fields.size() != wanted[static_cast<int>(request.kind)]) return std::nullopt;
    switch (request.kind) {
    case StripRequest::Kind::Status:
        if (fields[1] != "json" && fields[1] != "text") return std::nullopt;
        request.json = fields[1] == "json";
        break;
    case StripRequest::Kind::Start:
    case StripRequest::Kind::Stop: {
        const std::optional<ClockTime> at = ParseTicks(fields[1]);
        if (!at) return std::nullopt;
        request.at = *at;
        if (request.kind == StripRequest::Kind::Start) {
            std::optional<std::string> name = Unescape(fields[2]);
            if (!name || TrimSpaces(*name).empty() || name->find_first_of("\r\n") != std::string::npos) return std::nullopt;
            request.text = std::move(*name);
        }
        break;
    }
    case StripRequest::Kind::Notes: {
        std::optional<std::string> notes = Unescape(fields[1]);
        if (!notes) return std::nullopt;
        request.text = std::move(*notes);
        break;
    }
    case StripRequest::Kind::Show: break;
    }
    return request;
}

std::string ReplyLine(bool ok, std::string_view text)
{
    return std::string(ok ? "ok\t" : "error\t") + Escape(text) + "\n";
}

bool ParseReply(std::string_view line, bool& ok, std::string& text)
{
    if (line.empty() || line.back() != '\n') return false;
    line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || (line.substr(0, tab) != "ok" && line.substr(0, tab) != "error")) return false;
    const std::optional<std::string> unescaped = Unescape(line.substr(tab + 1));
    if (!unescaped) return false;
    ok = line.substr(0, tab) == "ok";
    text = *unescaped;
    return true;
}

std::string ApplyRequest(TimeLog& log, const StripRequest& request, ClockTime now, bool round)
{
    const ClockTime at = request.at.IsEmpty() ? now : request.at;
    switch (request.kind) {
    case StripRequest::Kind::Start:
    case StripRequest::Kind::Stop: {
        const TimeRecord* open = log.Current(false);
        // A change dated before the running record's start would give it a negative length (a
        // blank record, nothing chosen yet, is simply reused).
        if (open && !open->project.empty() && !open->start.IsEmpty() && at < open->start) {
            return "the running record started at " + open->start.Format(ClockTextStyle::Numeric, false) + ", after " +
                   at.Format(ClockTextStyle::Numeric, false);
        }
        const std::string name = request.kind == StripRequest::Kind::Start ? request.text : std::string(kIdleProject);
        SwitchProject(log, name, at, round);
        return {};
    }
    case StripRequest::Kind::Notes: {
        std::string notes;
        for (const char c : request.text) {
            if (c == '\n') notes += "\r\n";
            else if (c != '\r') notes += c;
        }
        log.Current(true)->notes = notes;
        return {};
    }
    case StripRequest::Kind::Show:
    case StripRequest::Kind::Status: break;
    }
    return "nothing to carry out";
}

}  // namespace ambrin
