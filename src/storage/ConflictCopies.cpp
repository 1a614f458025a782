#include "storage/ConflictCopies.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>

namespace ambrin {

namespace {

bool AreDigits(std::string_view text, std::size_t count)
{
    return text.size() == count && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "2026-12-07"
bool IsDashedDate(std::string_view text)
{
    return text.size() == 10 && AreDigits(text.substr(0, 4), 4) && text[4] == '-' && AreDigits(text.substr(5, 2), 2) &&
           text[7] == '-' && AreDigits(text.substr(8, 2), 2);
}

// What stands between "stem" and the extension.
bool IsSyncthingMark(std::string_view mark)
{
    // ".sync-conflict-20261207-101500-ABCDEFG"
    constexpr std::string_view kPrefix = ".sync-conflict-";
    if (mark.substr(0, kPrefix.size()) != kPrefix) return false;
    mark.remove_prefix(kPrefix.size());
    return mark.size() == 8 + 1 + 6 + 1 + 7 && AreDigits(mark.substr(0, 8), 8) && mark[8] == '-' &&
           AreDigits(mark.substr(9, 6), 6) && mark[15] == '-' &&
           std::all_of(mark.begin() + 16, mark.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool IsConflictedCopyMark(std::string_view mark)
{
    // " (conflicted copy 2026-12-07 101500)" or " (Ann's conflicted copy 2026-12-07)", and
    // Dropbox's " (1)" after it for a further one.
    const std::size_t number = mark.rfind(" (");
    if (number != std::string_view::npos && number > 0 && mark.back() == ')' &&
        AreDigits(mark.substr(number + 2, mark.size() - number - 3), mark.size() - number - 3) && mark.size() - number > 3) {
        mark = mark.substr(0, number);
    }
    if (mark.size() < 3 || mark.substr(0, 2) != " (" || mark.back() != ')') return false;
    mark = mark.substr(2, mark.size() - 3);
    constexpr std::string_view kWords = "conflicted copy ";
    const std::size_t words = mark.find(kWords);
    if (words == std::string_view::npos) return false;
    if (words != 0 && (words < 3 || mark.substr(words - 3, 3) != "'s ")) return false;  // "Ann's conflicted copy"
    const std::string_view when = mark.substr(words + kWords.size());
    if (when.size() == 10) return IsDashedDate(when);
    return when.size() == 17 && IsDashedDate(when.substr(0, 10)) && when[10] == ' ' && AreDigits(when.substr(11), 6);
}

}  // namespace

bool IsConflictCopy(std::string_view name, std::string_view stem, std::string_view extension)
{
    if (name.size() <= stem.size() + extension.size() || name.substr(0, stem.size()) != stem ||
        name.substr(name.size() - extension.size()) != extension) {
        return false;
    }
    const std::string_view mark = name.substr(stem.size(), name.size() - stem.size() - extension.size());
    return IsSyncthingMark(mark) || IsConflictedCopyMark(mark);
}

std::vector<std::string> ConflictCopiesIn(const std::string& folder, std::string_view stem, std::string_view extension)
{
    std::vector<std::string> copies = platform::ListFolder(folder);
    std::erase_if(copies, [&](const std::string& name) { return !IsConflictCopy(name, stem, extension); });
    std::sort(copies.begin(), copies.end());
    return copies;
}

}  // namespace ambrin
