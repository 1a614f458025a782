// Any bytes on the strip's socket: a request is read only from a whole line within the limit,
// whatever is read comes back from its own line unchanged, and carrying it out on a log
// cannot fail.
#include "core/StripRequest.h"
#include "core/TimeLog.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::optional<ambrin::StripRequest> request = ambrin::ParseRequest(input);
    if (!request) return 0;
    if (input.size() > ambrin::kRequestLimit || input.back() != '\n') std::abort();
    const std::optional<ambrin::StripRequest> again = ambrin::ParseRequest(ambrin::RequestLine(*request));
    if (!again || again->kind != request->kind || again->at != request->at || again->text != request->text || again->json != request->json) {
        std::abort();
    }
    ambrin::TimeLog log;
    ambrin::ClockTime start;
    start.FromFields(2026, 12, 7, 9, 0, 0);
    log.Append("Web", "", start, {});
    ambrin::ApplyRequest(log, *request, ambrin::ClockTime(start.Ticks() + 36'000'000'000ull), true);
    return 0;
}
