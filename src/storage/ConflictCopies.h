#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ambrin {

// Whether name is a copy that a sync engine left beside the file stem + extension, when two
// machines changed it at once:
//   Syncthing             "current log.sync-conflict-20261207-101500-ABCDEFG.csv"
//   Nextcloud, ownCloud   "current log (conflicted copy 2026-12-07 101500).csv"
//   Dropbox               "current log (Ann's conflicted copy 2026-12-07).csv", maybe " (1)"
bool IsConflictCopy(std::string_view name, std::string_view stem, std::string_view extension);

// The names in folder that are conflict copies of stem + extension, sorted.
std::vector<std::string> ConflictCopiesIn(const std::string& folder, std::string_view stem, std::string_view extension);

}  // namespace ambrin
