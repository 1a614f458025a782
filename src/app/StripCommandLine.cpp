#include "app/StripCommandLine.h"

#include "app/ReportCommand.h"
#include "app/SingleInstance.h"
#include "core/RunningStatus.h"
#include "core/StripRequest.h"
#include "core/TimeLog.h"
#include "platform/FileSystem.h"
#include "storage/FileLocations.h"
#include "storage/LogFiles.h"
#include "storage/ProjectList.h"
#include "storage/SettingsStore.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <ostream>

namespace ambrin {

namespace {

// "9:05" today, or "2026-12-07 9:05"; false for anything else.
bool ParseTime(const std::string& text, ClockTime now, ClockTime& at)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, used = 0;
    const CalendarFields today = now.Fields();
    if (std::sscanf(text.c_str(), "%d:%2d%n", &hour, &minute, &used) == 2 && used == static_cast<int>(text.size())) {
        year = today.year, month = today.month, day = today.day;
    } else if (std::sscanf(text.c_str(), "%4d-%2d-%2d %d:%2d%n", &year, &month, &day, &hour, &minute, &used) != 5 ||
               used != static_cast<int>(text.size())) {
        return false;
    }
    return hour < 24 && at.FromFields(year, month, day, hour, minute, 0);
}

// Why the arguments cannot be used; empty when they can.
std::string ReadRequest(const std::vector<std::string>& args, StripRequest& request)
{
    const std::string& command = args[1];
    std::size_t i = 2;
    if (command == "--start" || command == "--notes") {
        if (args.size() < 3) return command + " needs a value";
        request.kind = command == "--start" ? StripRequest::Kind::Start : StripRequest::Kind::Notes;
        request.text = args[i++];
        if (request.kind == StripRequest::Kind::Start && request.text.find_first_not_of(' ') == std::string::npos) {
            return "--start needs a project name";
        }
    } else {
        request.kind = command == "--stop" ? StripRequest::Kind::Stop : StripRequest::Kind::Status;
    }
    for (; i < args.size(); ++i) {
        const bool timed = request.kind == StripRequest::Kind::Start || request.kind == StripRequest::Kind::Stop;
        if (args[i] == "--at" && timed) {
            if (i + 1 == args.size()) return "--at needs a time";
            if (!ParseTime(args[++i], ClockTime::Now(), request.at)) {
                return "--at wants H:MM or YYYY-MM-DD H:MM, not \"" + args[i] + "\"";
            }
        } else if (args[i] == "--json" && request.kind == StripRequest::Kind::Status) {
            request.json = true;
        } else {
            return "unknown argument \"" + args[i] + "\"";
        }
    }
    return {};
}

// No strip runs and this process holds the lock: the command on the files themselves.
int CarryOutOnFiles(const StripRequest& request, FileLocations& locations, std::ostream& out, std::ostream& err)
{
    TimeLog log;
    ProjectList projects;
    LogFiles files(locations, log, projects);
    files.Load(locations.CurrentLogPath(), locations.ProjectListPath());
    if (!files.SetAside().empty()) {
        err << "ambrin: " << files.SetAside().front().path << " " << files.SetAside().front().why
            << "; start Ambrin to look at it\n";
        return 1;
    }
    const ClockTime now = ClockTime::Now();
    if (const std::string problem = ApplyRequest(log, request, now, SettingsStore::IsOn(settings::kRoundTimes)); !problem.empty()) {
        err << "ambrin: " << problem << "\n";
        return 1;
    }
    if (request.kind == StripRequest::Kind::Start) projects.AddName(request.text);
    if (const auto problem = files.Save(SettingsStore::IsOn(settings::kIncludeTotals))) {
        err << "ambrin: could not save " << problem->path << ": " << problem->reason << "\n";
        return 1;
    }
    out << StatusText(StatusOf(log, now, SystemUtcOffset)) << "\n";
    return 0;
}

}  // namespace

bool IsStripCommand(const std::vector<std::string>& args)
{
    return args.size() > 1 && (args[1] == "--start" || args[1] == "--stop" || args[1] == "--notes" || args[1] == "--status");
}

int RunStripCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    StripRequest request;
    if (const std::string problem = ReadRequest(args, request); !problem.empty()) {
        err << "ambrin: " << problem << "\n" << CommandLineUsage();
        return 2;
    }
    int argc = 1;
    char name[] = "ambrin";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);  // the local socket wants an event loop's parts
    FileLocations locations;
    // The status changes nothing, not even a folder: with none, no strip runs there.
    const std::string folder = LogFolderToRead();
    if (request.kind == StripRequest::Kind::Status && !platform::PathExists(folder)) {
        return RunReport(args, CurrentLogPathToRead(), out, err);
    }
    SingleInstance instance(request.kind == StripRequest::Kind::Status ? folder : locations.LogFolder(), nullptr,
                            SingleInstance::Locking::OnlyIfAsked);
    std::string reply;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (instance.Ask(RequestLine(request), reply)) {
            bool ok = false;
            std::string text;
            if (!ParseReply(reply, ok, text)) {
                err << "ambrin: the running strip gave an answer Ambrin does not know\n";
                return 1;
            }
            (ok ? out : err) << (ok ? "" : "ambrin: ") << text << (ok ? "" : "\n");
            return ok ? 0 : 1;
        }
        // No strip answered: the status reads the log's end; a change takes the lock first.
        if (request.kind == StripRequest::Kind::Status) return RunReport(args, CurrentLogPathToRead(), out, err);
        if (instance.TakeLock()) return CarryOutOnFiles(request, locations, out, err);
        if (!instance.OtherUser().empty()) {
            err << "ambrin: " << instance.OtherUser() << " is using Ambrin's files in " << locations.LogFolder() << "\n";
            return 1;
        }
        QThread::msleep(500);  // a strip starting this moment: ask it once more
    }
    err << "ambrin: a running Ambrin holds the files but does not answer\n";
    return 1;
}

}  // namespace ambrin
