#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace ambrin {

// "ambrin --report [--from DATE] [--to DATE] [--by day|week|month] [--csv | --json]": where the
// time went, printed without a window. The log is only read: no lock is taken, nothing is
// written. "ambrin --status [--json]": the running project, its time and today's total, read
// from the log's end. Returns the exit status: 0 done, 1 the log could not be read, 2 a bad
// argument.
int RunReport(const std::vector<std::string>& args, const std::string& logPath, std::ostream& out, std::ostream& err);

// Whether the arguments ask for a command that runs without the strip.
bool IsReportCommand(const std::vector<std::string>& args);

// The usage text of the command line, for --help and after a bad argument.
const char* CommandLineUsage();

}  // namespace ambrin
