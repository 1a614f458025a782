// The real program and its command line: where the time went, printed without a window;
// --start, --stop and --notes switching a running strip over its socket, or the files when none
// runs, and what the socket refuses; a second copy on the same folder asking the first; and
// however the session ends (a signal, or the display lost), the running record ended as the
// option says and saved.
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/ReportCommand.h"
#include "app/SingleInstance.h"
#include "core/TimeLog.h"
#include "storage/FileLocations.h"
#include "storage/SettingsStore.h"
#include "support/FakeClock.h"
#include "support/RowName.h"
#include "support/TempHome.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <filesystem>
#include <optional>
#include <sstream>

namespace ambrin {
namespace {

using test::MakeTime;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The program as a script runs it; the event loop turns meanwhile, for a strip in this process.
Outcome Ambrin(const QStringList& args,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AMBRIN_EXE), args);
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000)) << args.join(' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// The strip as a session starts it, on that platform; its output goes where the test's goes.
void Start(QProcess& strip, const QString& platform = QStringLiteral("offscreen"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    strip.setProcessEnvironment(environment);
    strip.setProcessChannelMode(QProcess::ForwardedChannels);
    strip.start(QStringLiteral(AMBRIN_EXE), {});
}

bool Serving(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(100);
}

// Waits up to five seconds for a copy to serve under that name.
bool ServingSoon(const QString& name)
{
    return QTest::qWaitFor([&] { return Serving(name); }, 5000);
}

const std::string kLog = "\"12-7-2026 9:05\",\"12-7-2026 10:47\",\"Website redesign\",\"\"\r\n"
                         "\"12-7-2026 10:47\",\"12-7-2026 11:00\",\"Accounts\",\"\"\r\n"
                         "\"12-8-2026 9:00\",\"12-8-2026 8:00\",\"Backwards\",\"\"\r\n"
                         "\"12-7-2026 11:00\",\"\",\"Accounts\",\"\"\r\n";

struct ReportCase {
    std::string name;
    std::vector<std::string> args;
    int status;
    std::string out;  // whole, or for a bad argument: the start of the message
};

void PrintTo(const ReportCase& row, std::ostream* os)
{
    *os << row.name;
}

std::vector<ReportCase> ReportCases()
{
    const std::string week = "2026-12-07  2026-12-08  2026-12-09  2026-12-10  2026-12-11  2026-12-12  2026-12-13";
    return {
        {"this week by day as a table", {"--report"}, 0,
         "Project           " + week + "  Total\n"
         "Accounts                0:43" + std::string(75, ' ') + "0:43\n"
         "Website redesign        1:42" + std::string(75, ' ') + "1:42\n"
         "Total                   2:25        0:00        0:00        0:00        0:00        0:00        0:00   2:25\n"
         "1 records skipped: they end before they start.\n"},
        {"csv, every field quoted", {"--report", "--csv"}, 0,
         "\"2026-12-07\",\"Accounts\",\"0.72\",\"2580\"\r\n\"2026-12-07\",\"Website redesign\",\"1.70\",\"6120\"\r\n"},
        {"json by month from a start to today", {"--report", "--from", "2026-11-30", "--by", "month", "--json"}, 0,
         "{\"from\": \"2026-11-30\", \"to\": \"2026-12-07\", \"by\": \"month\", \"rows\": [\n"
         "  {\"period\": \"2026-12\", \"project\": \"Accounts\", \"seconds\": 2580},\n"
         "  {\"period\": \"2026-12\", \"project\": \"Website redesign\", \"seconds\": 6120}\n"
         "], \"total_seconds\": 8700, \"skipped\": 1}\n"},
        {"an empty range", {"--report", "--from", "2026-12-01", "--to", "2026-12-01", "--json"}, 0,
         "{\"from\": \"2026-12-01\", \"to\": \"2026-12-01\", \"by\": \"day\", \"rows\": [], \"total_seconds\": 0, "
         "\"skipped\": 1}\n"},
        {"a grouping it does not know", {"--report", "--by", "year"}, 2, "ambrin: --by wants day, week or month"},
        {"a date that does not exist", {"--report", "--to", "2026-02-29"}, 2, "ambrin: --to wants a date"},
        {"an end before the start", {"--report", "--from", "2026-12-07", "--to", "2026-12-01"}, 2, "ambrin: --to 2026-12-01 comes before"},
        {"a value missing", {"--report", "--from"}, 2, "ambrin: --from needs a value"},
        {"two forms", {"--report", "--csv", "--json"}, 2, "ambrin: --csv and --json cannot"},
        {"an unknown argument", {"--report", "--weekly"}, 2, "ambrin: unknown argument \"--weekly\""},
        {"status as a line", {"--status"}, 0, "Accounts  0:30  (today 2:25)\n"},
        {"status as JSON", {"--status", "--json"}, 0,
         "{\"project\": \"Accounts\", \"running\": true, \"since\": \"2026-12-07T11:00:00\", \"elapsed_seconds\": 1800, "
         "\"today_seconds\": 8700}\n"},
        {"status with an argument it does not know", {"--status", "--csv"}, 2, "ambrin: unknown argument \"--csv\""},
    };
}

class Report : public ::testing::TestWithParam<ReportCase> {
protected:
    test::TempHome home_;
    test::FakeClock clock_{MakeTime(2026, 12, 7, 11, 30, 0)};
};

TEST_P(Report, PrintsTheFormOrSaysWhatIsWrong)
{
    const ReportCase& row = GetParam();
    const std::string log = home_.Path() + "/current log.csv";
    test::WriteBytes(log, kLog);
    std::vector<std::string> args{"ambrin"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunReport(args, log, out, err), row.status) << err.str();
    if (row.status == 0) {
        EXPECT_EQ(out.str(), row.out);
    } else {
        EXPECT_EQ(err.str().rfind(row.out, 0), 0u) << err.str();
        EXPECT_NE(err.str().find("usage: ambrin"), std::string::npos) << "the usage follows";
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, Report, ::testing::ValuesIn(ReportCases()), test::ByRowName());

// The real program, with no display: it prints, writes nothing and makes no folder.
TEST(ReportProgram, ReadsTheLogWithoutAWindowAndChangesNothing)
{
    test::TempHome home;
    const std::string folder = home.Path() + "/Ambrin/Logs";
    std::filesystem::create_directories(folder);
    test::WriteBytes(folder + "/current log.csv", kLog);
    // The data and the settings; the runtime folder holds only what every running copy holds.
    const auto listing = [&home] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Path())) {
            if (entry.path().string().rfind(home.Path() + "/run", 0) != 0) names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = listing();
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        headless.remove(name);
    }
    const QStringList csv{"--report", "--from", "2026-12-07", "--to", "2026-12-07", "--csv"};
    Outcome report = Ambrin(csv, headless);
    EXPECT_EQ(report.status, 0) << report.err;
    const std::string website = "\"2026-12-07\",\"Website redesign\",\"1.70\",\"6120\"";
    EXPECT_NE(report.out.find(website), std::string::npos) << report.out;
    EXPECT_EQ(listing(), before) << "no lock, no folder, no file";

    std::filesystem::remove(folder + "/current log.csv");
    std::filesystem::create_directory(folder + "/current log.csv");  // a folder in the log's place
    report = Ambrin(csv, headless);
    EXPECT_EQ(report.status, 1);
    EXPECT_NE(report.err.find("could not read the log"), std::string::npos) << report.err;
}

std::string CsvOf(const std::vector<TimeRecord>& records)
{
    TimeLog log;
    for (const TimeRecord& r : records) log.AppendCopy(r);
    std::ostringstream out;
    log.WriteCsv(out, false);
    return out.str();
}

ClockTime At(int hour, int minute)
{
    return MakeTime(2020, 1, 6, hour, minute);
}

TEST(CommandLine, WithNoStripItWorksOnTheFiles)
{
    test::TempHome home;
    const Outcome start = Ambrin({"--start", "Accounts", "--at", "2020-01-06 9:00"});
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(Ambrin({"--notes", "called\nback"}).status, 0);
    EXPECT_EQ(Ambrin({"--stop", "--at", "2020-01-06 10:30"}).status, 0);
    const std::string log = test::FileBytes(home.Path() + "/Ambrin/Logs/current log.csv");
    EXPECT_EQ(log, CsvOf({{"Accounts", "called\r\nback", At(9, 0), At(10, 30)}}));

    const Outcome early = Ambrin({"--start", "Mail", "--at", "2020-01-06 8:00"});
    EXPECT_EQ(early.status, 0) << "after a stop, <idle> runs from 10:30: " << early.err;
    const Outcome before = Ambrin({"--stop", "--at", "2020-01-06 7:00"});
    EXPECT_EQ(before.status, 1);
    EXPECT_NE(before.err.find("the running record started at"), std::string::npos) << before.err;
    const Outcome bad = Ambrin({"--start", "Mail", "--at", "25:00"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--at wants H:MM or YYYY-MM-DD H:MM"), std::string::npos) << bad.err;
    EXPECT_EQ(Ambrin({"--stop", "--json"}).status, 2);
}

class RunningStrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsStore::Write(settings::kPopNote, true);  // a command never opens the notes window
        instance_ = std::make_unique<SingleInstance>(app_.Locations().LogFolder());
        ASSERT_TRUE(instance_->IsFirst());
        strip_ = std::make_unique<MainWindow>(app_);
        instance_->Serve(strip_.get(), [this](const StripRequest& request) { return strip_->CarryOut(request); });
    }
    void TearDown() override
    {
        strip_.reset();
        instance_.reset();
    }
    test::TempHome home_;
    App app_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<MainWindow> strip_;
};

TEST_F(RunningStrip, CommandsGoToItAndDoWhatItsControlsDo)
{
    const Outcome start = Ambrin({"--start", "Website redesign", "--at", "2020-01-06 9:00"});
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(strip_->findChild<QComboBox*>("projectCombo")->currentText(), "Website redesign");
    EXPECT_FALSE(QApplication::activeModalWidget()) << "no notes window for a command";
    EXPECT_EQ(Ambrin({"--notes", "from a script"}).status, 0);
    EXPECT_EQ(app_.Log().View(0).notes, "from a script");
    const Outcome status = Ambrin({"--status", "--json"});
    EXPECT_EQ(status.out.rfind("{\"project\": \"Website redesign\", \"running\": true, \"since\": \"2020-01-06T09:00:00\"", 0), 0u)
        << status.out;
    EXPECT_EQ(Ambrin({"--stop", "--at", "2020-01-06 10:00"}).status, 0);
    EXPECT_EQ(test::FileBytes(app_.Locations().CurrentLogPath()), CsvOf({{"Website redesign", "from a script", At(9, 0), At(10, 0)}}))
        << "saved at once, as a switch in the strip is";
}

TEST_F(RunningStrip, TheSocketRefusesWhatIsNoRequestAndChangesNothing)
{
    const auto send = [](const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::ServerName(App().Locations().LogFolder()));
        EXPECT_TRUE(socket.waitForConnected(2000));
        socket.write(bytes);
        socket.flush();
        EXPECT_TRUE(QTest::qWaitFor([&] { return socket.canReadLine(); }, 5000)) << bytes.left(40).toStdString();
        return socket.readLine().toStdString();
    };
    EXPECT_EQ(send("reboot\n"), "error\tnot a request Ambrin knows\n");
    EXPECT_EQ(send(QByteArray(8192, 'x')), "error\tthe request is too long\n");
    for (std::uint32_t i = 0; i < app_.Log().Count(); ++i) EXPECT_EQ(app_.Log().View(i).project, "");
}

TEST(SingleInstance, ASecondCopyOnTheSameFolderAsksTheFirstAndACrashLeavesNoLock)
{
    test::TempHome home;
    const std::string folder = FileLocations().LogFolder();
    QProcess running;
    Start(running);
    const QString name = SingleInstance::ServerName(folder);
    ASSERT_TRUE(ServingSoon(name));

    {
        // The same folder spelled another way is the same folder.
        SingleInstance second(folder + "/../Logs/");
        EXPECT_FALSE(second.IsFirst());
        EXPECT_TRUE(second.AskRunningCopyToShow()) << "the running copy brings its strip forward";
    }

    running.kill();
    running.waitForFinished();
    SingleInstance next(folder);
    EXPECT_TRUE(next.IsFirst()) << "a copy that crashed leaves no stale lock";
    QWidget strip;
    next.Serve(&strip);
    EXPECT_TRUE(Serving(name)) << "the crashed copy's socket was replaced";
    SingleInstance another(folder);
    EXPECT_FALSE(another.IsFirst());
}

// The strip closes before the program ends, while its copy still serves: a request then finds
// no window to bring forward, and gets no answer.
TEST(SingleInstance, ARequestAfterTheStripIsGoneTouchesNothing)
{
    test::TempHome home;
    const std::string folder = FileLocations().LogFolder();
    SingleInstance first(folder);
    auto strip = std::make_unique<QWidget>();
    first.Serve(strip.get());
    strip.reset();
    QLocalSocket asking;
    asking.connectToServer(SingleInstance::ServerName(folder));
    ASSERT_TRUE(asking.waitForConnected(1000));
    asking.write(SingleInstance::kShowRequest);
    asking.flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return asking.canReadLine(); }, 2000));
    EXPECT_EQ(asking.readLine().toStdString(), "error\tAmbrin is closing\n") << "said, and no window touched";
}

struct Ending {
    std::string name;
    int signal;  // 0: the display goes
};

void PrintTo(const Ending& row, std::ostream* os)
{
    *os << row.name;
}

class SessionEnd : public ::testing::TestWithParam<Ending> {};

TEST_P(SessionEnd, EndsTheRunningRecordAndSaves)
{
    test::TempHome home;
    FileLocations locations;
    SettingsStore::Write(settings::kEndProj, true);
    const std::string running = "\"12-7-2026 9:00\",\"\",\"Accounts\",\"\"\r\n";
    test::WriteBytes(locations.CurrentLogPath(), running);

    std::optional<test::XvfbServer> display;  // DISPLAY points at it while it runs
    if (GetParam().signal == 0) {
        if (!display.emplace().Installed()) GTEST_SKIP() << "no Xvfb here";
        ASSERT_TRUE(display->Running()) << "Xvfb did not start";
    }
    QProcess program;
    Start(program, display ? QStringLiteral("xcb") : QStringLiteral("offscreen"));
    ASSERT_TRUE(ServingSoon(SingleInstance::ServerName(locations.LogFolder()))) << "the strip did not start";

    if (display) display->Stop();
    else kill(static_cast<pid_t>(program.processId()), GetParam().signal);
    ASSERT_TRUE(program.waitForFinished(10'000)) << "asks nothing, waits for nothing";
    const std::string log = test::FileBytes(locations.CurrentLogPath());
    EXPECT_EQ(log.rfind("\"12-7-2026 9:00\",\"", 0), 0u) << log;
    EXPECT_NE(log, running) << "the record was ended";
    EXPECT_NE(log.find("\",\"Accounts\",\"\"\r\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Endings, SessionEnd,
                         ::testing::Values(Ending{"SIGTERM", SIGTERM}, Ending{"SIGHUP", SIGHUP},
                                           Ending{"the display gone", 0}),
                         test::ByRowName());

}  // namespace
}  // namespace ambrin
