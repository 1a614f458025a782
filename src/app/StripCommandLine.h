#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ambrin {

// "ambrin --start NAME [--at TIME]", "--stop [--at TIME]", "--notes TEXT", "--status [--json]".
// With a strip running on the data folder the command goes to it over its local socket; with
// none, it is carried out on the files under the one-copy lock (--status only reads the
// log's end). TIME is H:MM (today) or YYYY-MM-DD H:MM. Returns the exit status: 0 done, 1 it
// could not be done (the reason on err), 2 a bad argument.
bool IsStripCommand(const std::vector<std::string>& args);
int RunStripCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ambrin
