// The strip's files in a world of full disks, other programs and sync engines.
#include "app/FileKeeper.h"

#include "platform/SettingsHive.h"
#include "support/DialogDriver.h"
#include "support/StripDriver.h"
#include "support/SystemCallFaults.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

namespace ambrin {
namespace {

using test::FileBytes;
using test::MakeTime;
using test::OnNextDialog;
using test::Strip;
using test::WriteBytes;

class FileKeeperTest : public test::StripTest {};

// The visible messages of that name: the strip's own, not modal.
int Shown(const char* name)
{
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) shown += top->objectName() == name && top->isVisible();
    return shown;
}

void Click(QDialog* box, const char* button)
{
    auto* found = box->findChild<QAbstractButton*>(button);
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

#ifndef _WIN32  // the disk fills through wrapped POSIX calls
TEST_F(FileKeeperTest, AFailingSaveIsShownKeptRetriedAndAskedAboutAtQuit)
{
    SettingsStore::Write(settings::kEndProj, true);
    Strip strip;
    strip.window->show();
    strip.Type("Accounts");
    const std::string before = strip.Log();
    auto* warning = strip.window->findChild<QToolButton*>("saveWarning");
    ASSERT_FALSE(warning->isVisible());
    {
        const test::InjectedFault full(test::SystemCall::Write, ENOSPC);
        strip.Type("Website");
        strip.Type("Calls");
        EXPECT_EQ(strip.Log(), before) << "the old file stays whole";
        EXPECT_TRUE(warning->isVisible());
        EXPECT_TRUE(warning->toolTip().contains("No space left on device")) << warning->toolTip().toStdString();
        EXPECT_TRUE(warning->toolTip().contains(QString::fromStdString(strip.app.Locations().CurrentLogPath())));
        EXPECT_EQ(Shown("saveProblem"), 1) << "told once, not at every switch";

        OnNextDialog([](QDialog* box) { box->done(QMessageBox::Yes); }, "closeQuestion");
        OnNextDialog([](QDialog* box) { Click(box, "keepTrying"); }, "quitUnsaved");
        EXPECT_FALSE(strip.window->close());
        EXPECT_TRUE(strip.app.Log().View(2).end.IsEmpty()) << "keeps running as it was";
    }
    strip.window->findChild<QTimer*>("saveRetryTimer")->setInterval(1);
    QTest::qWait(50);
    EXPECT_FALSE(warning->isVisible()) << "the retry succeeded";
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"3-7-2005 9:05\",\"Accounts\",\"\"\r\n"
                           "\"3-7-2005 9:05\",\"3-7-2005 9:05\",\"Website\",\"\"\r\n"
                           "\"3-7-2005 9:05\",\"\",\"Calls\",\"\"\r\n");

    // The folder gone from under the log, a file in its place: a copy saved elsewhere.
    const std::string folder = strip.app.Locations().LogFolder();
    std::filesystem::rename(folder, folder + ".away");
    WriteBytes(folder, "a file");
    const std::string copy = home_.Path() + "/copy.csv";
    OnNextDialog([](QDialog* box) { box->done(QMessageBox::Yes); }, "closeQuestion");
    OnNextDialog([](QDialog* box) { Click(box, "saveCopy"); }, "quitUnsaved");
    OnNextDialog([&copy](QDialog* dialog) {
        static_cast<QFileDialog*>(dialog)->selectFile(QString::fromStdString(copy));
        dialog->accept();
    }, "saveCopyDialog");
    EXPECT_TRUE(strip.window->close()) << "a copy saved elsewhere lets Ambrin quit";
    EXPECT_EQ(FileBytes(copy), "\"3-7-2005 9:05\",\"3-7-2005 9:05\",\"Accounts\",\"\"\r\n"
                               "\"3-7-2005 9:05\",\"3-7-2005 9:05\",\"Website\",\"\"\r\n"
                               "\"3-7-2005 9:05\",\"3-7-2005 9:05\",\"Calls\",\"\"\r\n");
}
#endif

TEST_F(FileKeeperTest, AnotherProgramsChangesAreShownAndSwitchedOnTopOf)
{
    Strip strip;
    strip.Type("Accounts");
    // A script ends the running record and adds a name while the strip sits still.
    WriteBytes(strip.app.Locations().CurrentLogPath(), "\"3-7-2005 9:05\",\"3-7-2005 9:20\",\"Accounts\",\"\"\r\n");
    WriteBytes(strip.app.Locations().ProjectListPath(), "Accounts\r\nScripted\r\n");
    clock_.AdvanceSeconds(30 * 60);
    strip.window->Tick();
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>") << "shown ended";
    EXPECT_GE(strip.Combo()->findText("Scripted"), 0);
    strip.Type("Website");
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"3-7-2005 9:20\",\"Accounts\",\"\"\r\n"
                           "\"3-7-2005 9:35\",\"\",\"Website\",\"\"\r\n");
    EXPECT_EQ(strip.List(), "Accounts\r\nScripted\r\n\r\n<idle>\r\nWebsite\r\n");
}

// The Edit Log's OK over a file another program changed while it was open: the person chooses,
// whatever else ran meanwhile.
enum class Meanwhile { Nothing, FailedSaveRetried, FocusLeftLate };

TEST_F(FileKeeperTest, EditsOverAChangedFileAskWhichToKeep)
{
    const std::pair<Meanwhile, const char*> meanwhiles[] = {
        {Meanwhile::Nothing, "nothing else"},
        {Meanwhile::FailedSaveRetried, "a failed save retried while the Edit Log was open"},
        {Meanwhile::FocusLeftLate, "the drop-down told of the focus leaving after the Edit Log's OK"},
    };
    for (const char* choice : {"replaceFile", "keepFile"}) {
        for (const auto& [meanwhile, what] : meanwhiles) {
            test::TempHome home;
            SetUp();  // this home's options
            Strip strip;
            strip.window->show();
            strip.Type("Accounts");
            const std::string ours = strip.Log();
            const std::string theirs = "\"3-7-2005 8:00\",\"3-7-2005 9:00\",\"Script\",\"\"\r\n";
            // Each window's action awaits the next one only once it is done: in this order alone.
            // An action outlives the one that set it up: each holds its own copies.
            const Meanwhile now = meanwhile;
            Strip* at = &strip;
            OnNextDialog([at, theirs, now, choice](QDialog* options) {
                OnNextDialog([at, theirs, now, choice](QDialog* editLog) {
                    WriteBytes(at->app.Locations().CurrentLogPath(), theirs);
                    if (now == Meanwhile::FailedSaveRetried) at->window->findChild<FileKeeper*>()->Save();
                    OnNextDialog([at, now, choice](QDialog* optionsAgain) {
                        if (now == Meanwhile::FocusLeftLate) at->window->ChangeProject();
                        OnNextDialog([choice](QDialog* box) { Click(box, choice); }, "editedOverChangedFile");
                        Click(optionsAgain, "okButton");
                    }, "optionsDialog");
                    Click(editLog, "okButton");
                }, "editLogDialog");
                Click(options, "currentLogButton");
            }, "optionsDialog");
            strip.window->ShowOptions();
            const bool replaced = std::string(choice) == "replaceFile";
            const std::string row = std::string(choice) + ", " + what;
            // The retried save wrote both.
            const std::string file = meanwhile == Meanwhile::FailedSaveRetried ? theirs + ours : theirs;
            EXPECT_EQ(strip.Log(), replaced ? ours : file) << row;
            const std::string backup = strip.app.Locations().LogFolder() + "/Backups/current log.csv";
            EXPECT_EQ(FileBytes(backup), replaced ? file : "") << row << ": the replaced file is kept";
        }
    }
}

// A focus change runs a switch to what the drop-down shows: over a record a script ended, it
// shows the record ended and starts nothing.
TEST_F(FileKeeperTest, AFocusChangeDoesNotRestartWhatAScriptEnded)
{
    Strip strip;
    strip.window->show();
    strip.Type("Accounts");
    const std::string ended = "\"3-7-2005 9:05\",\"3-7-2005 9:20\",\"Accounts\",\"\"\r\n";
    WriteBytes(strip.app.Locations().CurrentLogPath(), ended);
    clock_.AdvanceSeconds(30 * 60);
    strip.Combo()->lineEdit()->setFocus();
    strip.Combo()->lineEdit()->clearFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>");
    EXPECT_EQ(strip.Log(), ended);
}

TEST_F(FileKeeperTest, ConflictCopiesAreMergedWhenTheyAppearAndTold)
{
    Strip strip;
    strip.window->show();
    strip.Type("Accounts");
    const std::string folder = strip.app.Locations().LogFolder();
    const std::string other = "\"3-7-2005 8:00\",\"3-7-2005 9:05\",\"Laptop\",\"\"\r\n";
    WriteBytes(folder + "/current log (conflicted copy 2005-03-07 090600).csv", other + strip.Log());
    strip.window->Tick();
    EXPECT_EQ(strip.Log(), other + "\"3-7-2005 9:05\",\"\",\"Accounts\",\"\"\r\n");
    EXPECT_EQ(Shown("conflictsMerged"), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Backups/current log (conflicted copy 2005-03-07 090600).csv"));
}

TEST_F(FileKeeperTest, FilesThatCannotBeReadAreNamedOnceAtStart)
{
    FileLocations locations;
    WriteBytes(locations.CurrentLogPath(), std::string(64, '\0'));
#ifndef _WIN32
    const std::string hive = platform::SettingsHivePath(settings::kKeyPath);
    WriteBytes(hive, "not a settings file");
#endif
    Strip strip;
    strip.window->show();
    QTest::qWait(0);
    EXPECT_EQ(Shown("setAside"), 1);
    strip.window->Tick();
    EXPECT_EQ(Shown("setAside"), 1) << "once";
#ifndef _WIN32
    EXPECT_EQ(Shown("settingsProblem"), 1);
    EXPECT_EQ(FileBytes(hive), "not a settings file") << "never written over";
#endif
}

}  // namespace
}  // namespace ambrin
