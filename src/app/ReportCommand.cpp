#include "app/ReportCommand.h"

#include "core/ClockTime.h"
#include "core/RunningStatus.h"
#include "core/SummaryText.h"
#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/CsvLog.h"
#include "storage/LogTail.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace ambrin {

namespace {

enum class Form { Table, Csv, Json };

struct ReportRequest {
    LocalDate from, to;
    bool fromGiven = false, toGiven = false;
    SummaryGrouping by = SummaryGrouping::Day;
    Form form = Form::Table;
};

// Why the arguments cannot be used; empty when they can.
std::string ReadArguments(const std::vector<std::string>& args, ReportRequest& request)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--from" || arg == "--to" || arg == "--by";
        if (takesValue && i + 1 == args.size()) return arg + " needs a value";
        if (arg == "--report") continue;
        if (arg == "--csv" || arg == "--json") {
            const Form form = arg == "--csv" ? Form::Csv : Form::Json;
            if (request.form != Form::Table && request.form != form) return "--csv and --json cannot be given together";
            request.form = form;
        } else if (arg == "--from" || arg == "--to") {
            LocalDate& date = arg == "--from" ? request.from : request.to;
            if (!ParseIsoDate(args[++i], date)) return arg + " wants a date as YYYY-MM-DD, not \"" + args[i] + "\"";
            (arg == "--from" ? request.fromGiven : request.toGiven) = true;
        } else if (arg == "--by") {
            const std::string& by = args[++i];
            if (by == "day") request.by = SummaryGrouping::Day;
            else if (by == "week") request.by = SummaryGrouping::Week;
            else if (by == "month") request.by = SummaryGrouping::Month;
            else return "--by wants day, week or month, not \"" + by + "\"";
        } else {
            return "unknown argument \"" + arg + "\"";
        }
    }
    return {};
}

// Unless given: the week of today (or of the end given), Monday to Sunday; from a start
// given, up to today.
void FillRange(ReportRequest& request, ClockTime now)
{
    const LocalDate today = DateOf(now);
    if (request.fromGiven && !request.toGiven) request.to = today;
    const DateSpan week = RangeAround(SummaryRange::ThisWeek, request.toGiven ? request.to : today);
    if (!request.fromGiven) request.from = week.from;
    if (!request.toGiven && !request.fromGiven) request.to = week.to;
}

std::string ReadFailure()
{
    return errno != 0 ? std::strerror(errno) : "a read failed";
}

// The running project and today's total, from the end of the log: as cheap with ten years of
// records as with ten.
int RunStatus(const std::vector<std::string>& args, const std::string& logPath, std::ostream& out, std::ostream& err)
{
    bool json = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] != "--json") {
            err << "ambrin: unknown argument \"" << args[i] << "\"\n" << CommandLineUsage();
            return 2;
        }
        json = true;
    }
    const ClockTime now = ClockTime::Now();
    const CalendarFields f = now.Fields();
    ClockTime midnight;
    midnight.FromFields(f.year, f.month, f.day, 0, 0, 0);
    TimeLog log;
    errno = 0;
    if (platform::PathExists(logPath) && !ReadLogTail(log, logPath, midnight)) {
        err << "ambrin: could not read the log " << logPath << ": " << ReadFailure() << "\n";
        return 1;
    }
    const RunningStatus status = StatusOf(log, now, SystemUtcOffset);
    out << (json ? StatusJson(status) : StatusText(status) + "\n");
    out.flush();
    return out ? 0 : 1;
}

}  // namespace

const char* CommandLineUsage()
{
    return "usage: ambrin [--verbose]     show the strip (--verbose: say which sources tell of time away)\n"
           "       ambrin --report [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--by day|week|month] [--csv | --json]\n"
           "                             print where the time went (by default this week, by day)\n"
           "       ambrin --start NAME [--at TIME]   switch the running strip (or the files) to NAME\n"
           "       ambrin --stop [--at TIME]         switch to <idle>\n"
           "       ambrin --notes TEXT               set the running record's notes\n"
           "       ambrin --status [--json]  print the running project, how long it has run and today's total\n"
           "                             TIME: H:MM today, or YYYY-MM-DD H:MM\n"
           "       ambrin --help         show this text\n";
}

bool IsReportCommand(const std::vector<std::string>& args)
{
    return args.size() > 1 && (args[1] == "--report" || args[1] == "--status" || args[1] == "--help" || args[1] == "-h");
}

int RunReport(const std::vector<std::string>& args, const std::string& logPath, std::ostream& out, std::ostream& err)
{
    if (args.size() > 1 && (args[1] == "--help" || args[1] == "-h")) {
        out << CommandLineUsage();
        return 0;
    }
    if (args[1] == "--status") return RunStatus(args, logPath, out, err);
    ReportRequest request;
    if (const std::string problem = ReadArguments(args, request); !problem.empty()) {
        err << "ambrin: " << problem << "\n" << CommandLineUsage();
        return 2;
    }
    const ClockTime now = ClockTime::Now();
    FillRange(request, now);
    if (request.to < request.from) {
        err << "ambrin: --to " << FormatIsoDate(request.to) << " comes before --from " << FormatIsoDate(request.from) << "\n"
            << CommandLineUsage();
        return 2;
    }
    TimeLog log;
    errno = 0;
    if (platform::PathExists(logPath) && !ReadCsvFile(log, logPath)) {
        err << "ambrin: could not read the log " << logPath << ": " << ReadFailure() << "\n";
        return 1;
    }
    const TimeSummary summary = Summarize(log, request.from, request.to, request.by, now, SystemUtcOffset);
    switch (request.form) {
    case Form::Csv: out << SummaryAsCsv(summary); break;
    case Form::Json: out << SummaryAsJson(summary); break;
    case Form::Table: out << SummaryAsTable(summary); break;
    }
    if (request.form != Form::Table && summary.skipped != 0) {
        err << "ambrin: " << summary.skipped << " records skipped: they end before they start\n";
    }
    out.flush();
    return out ? 0 : 1;
}

}  // namespace ambrin
