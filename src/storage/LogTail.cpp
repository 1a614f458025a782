#include "storage/LogTail.h"

#include "core/TimeLog.h"

#include <fstream>
#include <sstream>

namespace ambrin {

bool ReadLogTail(TimeLog& log, const std::string& path, ClockTime since)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.seekg(0, std::ios::end)) return false;
    const auto size = static_cast<std::uint64_t>(file.tellg());
    for (std::uint64_t piece = 64 * 1024;; piece *= 2) {
        const std::uint64_t from = size > piece ? size - piece : 0;
        std::string text(size - from, '\0');
        if (!file.seekg(static_cast<std::streamoff>(from)) || !file.read(text.data(), static_cast<std::streamsize>(text.size()))) {
            return false;
        }
        if (from > 0) {
            // A record is one line; the first one here may be cut.
            const std::size_t lineEnd = text.find('\n');
            if (lineEnd == std::string::npos) continue;
            text.erase(0, lineEnd + 1);
        }
        TimeLog part;
        std::istringstream lines(text);
        if (!part.ReadCsv(lines)) return false;
        const bool reachesBack = part.Count() > 0 && !part.View(0).end.IsEmpty() && part.View(0).end <= since;
        if (from == 0 || reachesBack) {
            log.Assign(part);
            return true;
        }
    }
}

}  // namespace ambrin
