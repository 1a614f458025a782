// The command line end to end: the real program switching a running strip over its socket,
// or the files when none runs; and what the socket refuses.
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "core/TimeLog.h"
#include "storage/SettingsStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

#include <sstream>

namespace ambrin {
namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The program as a script runs it; the event loop turns meanwhile, for a strip in this process.
Outcome Ambrin(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(AMBRIN_EXE), args);
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000)) << args.join(' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
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
    ClockTime t;
    t.FromFields(2020, 1, 6, hour, minute, 0);
    return t;
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
    EXPECT_EQ(Ambrin({"--status", "--json"}).out,
              "{\"project\": null, \"running\": false, \"since\": null, \"elapsed_seconds\": 0, \"today_seconds\": 0}\n");

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
    EXPECT_EQ(send("start\t\t\n"), "error\tnot a request Ambrin knows\n");
    EXPECT_EQ(send(QByteArray(8192, 'x')), "error\tthe request is too long\n");
    for (std::uint32_t i = 0; i < app_.Log().Count(); ++i) EXPECT_EQ(app_.Log().View(i).project, "");
}

}  // namespace
}  // namespace ambrin
