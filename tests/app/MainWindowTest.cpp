// The strip as a person meets it: its switches, notes, pickers and tray menu, and its files in a
// world of full disks, other programs and sync engines.
#include "app/MainWindow.h"

#include "app/FileKeeper.h"
#include "app/TrayIcon.h"
#include "dialogs/SummaryDialog.h"
#include "platform/SettingsHive.h"
#include "storage/LogFiles.h"
#include "support/DialogDriver.h"
#include "support/LogGenerator.h"
#include "support/StripDriver.h"
#include "support/SystemCallFaults.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <filesystem>
#include <sstream>

namespace ambrin {
namespace {

using test::FileBytes;
using test::MakeTime;
using test::OnNextDialog;
using test::Strip;
using test::WriteBytes;

// Keys typed into the next notes editor: keys(edit) before the text, then Enter.
void TypeNotes(const QString& text, std::function<void(QPlainTextEdit*)> keys = {})
{
    OnNextDialog([text, keys](QDialog* dialog) {
        auto* edit = dialog->findChild<QPlainTextEdit*>("notesEdit");
        ASSERT_NE(edit, nullptr);
        if (keys) keys(edit);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

class MainWindowTest : public test::StripTest {};

TEST_F(MainWindowTest, FirstStartThenSwitchesNotesAndARestartReachTheFiles)
{
    SettingsStore::Write(settings::kPopNote, true);
    Strip strip;
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>");
    EXPECT_EQ(strip.Combo()->count(), 2) << "an empty item and <idle>";
    EXPECT_TRUE(strip.window->windowFlags() & Qt::WindowStaysOnTopHint);

    TypeNotes("first");
    strip.Type("Accounts");
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"first\"\r\n");
    EXPECT_EQ(strip.List(), "\r\n<idle>\r\nAccounts\r\n");
    EXPECT_EQ(strip.Combo()->currentText(), "Accounts");

    // The notes button: Cancel keeps the notes, OK replaces them.
    auto* notes = strip.window->findChild<QWidget*>("notesButton");
    OnNextDialog([](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QPlainTextEdit*>("notesEdit"), " and more");
        dialog->reject();
    });
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(strip.app.Log().At(0).notes, "first");
    TypeNotes("Sent invoice", [](QPlainTextEdit* edit) {
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    });
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"first\\r\\nSent invoice\"\r\n")
        << "caret at the end, nothing selected, Ctrl+Enter breaks the line";

    strip.Restart();
    EXPECT_EQ(strip.Combo()->currentText(), "Accounts") << "the running project survives";
    EXPECT_EQ(strip.app.Log().Count(), 1u);
    Pass(strip, 30 * 60);
    strip.Type("<idle>");  // no notes editor for <idle>: it would wait for the deadline
    EXPECT_EQ(strip.Log(),
              "\"3-7-2005 9:05\",\"3-7-2005 9:35\",\"Accounts\",\"first\\r\\nSent invoice\"\r\n")
        << "idle ends the record and is never written";
}

// The project box's tooltip: the project, its start, its time so far and the day's, kept
// current each second.
TEST_F(MainWindowTest, TheProjectBoxTellsHowLongItRan)
{
    Strip strip;
    auto* combo = strip.Combo();
    EXPECT_EQ(combo->toolTip(), "<idle>\ntoday 0:00");
    strip.Type("Accounts");
    Pass(strip, 55 * 60);
    strip.Type("Website redesign");
    Pass(strip, 47 * 60);
    EXPECT_EQ(combo->toolTip(), "Website redesign\nsince 10:00, 0:47 so far\ntoday 1:42");
    clock_.Set(MakeTime(2005, 3, 8, 9, 30, 0));  // the next morning, left running
    strip.window->Tick();
    EXPECT_EQ(combo->toolTip(),
              "Website redesign\nsince Mon 7 Mar 10:00, 23:30 so far\ntoday 9:30");
}

TEST_F(MainWindowTest, PickerSetBackHoldsForTenSeconds)
{
    Strip strip;
    strip.Type("Accounts");
    auto* time = strip.window->findChild<QTimeEdit*>("timePicker");

    //  clock   09:05 ---------------------------- 09:25:00  09:25:09
    //  picker                        09:10 (set by hand at 09:25:00)
    //  Website chosen at 09:25:09 starts at 09:10, within the 10-second hold
    Pass(strip, 20 * 60);
    time->setTime(QTime(9, 10, 0));
    Pass(strip, 9);
    strip.Type("Website");
    EXPECT_EQ(strip.app.Log().At(1).start, MakeTime(2005, 3, 7, 9, 10));

    time->setTime(QTime(9, 12, 0));
    Pass(strip, 10);
    EXPECT_EQ(time->time(), QTime(9, 25, 19)) << "after 10 s the pickers follow the clock again";

    time->setTime(QTime(9, 25, 22));  // within 5 s of the clock: not a hand edit
    Pass(strip, 1);
    EXPECT_EQ(time->time(), QTime(9, 25, 20));
}

TEST_F(MainWindowTest, UnchangedNotesKeepTheirBytes)
{
    test::WriteBytes(FileLocations().CurrentLogPath(),
                     "\"3-7-2005 9:05\",\"\",\"Caf\xE9\",\"lone\\nLF \xE9\"\r\n");
    Strip strip;
    OnNextDialog([](QDialog* dialog) { dialog->accept(); });
    QTest::mouseClick(strip.window->findChild<QWidget*>("notesButton"), Qt::LeftButton);
    EXPECT_EQ(strip.app.Log().At(0).notes, "lone\nLF \xE9");
    EXPECT_EQ(strip.app.Log().At(0).project, "Caf\xE9");
}

TEST_F(MainWindowTest, EscapeNeverClosesAndTheCloseBoxAsks)
{
    Strip strip;
    strip.window->show();
    QTest::keyClick(strip.window.get(), Qt::Key_Escape);
    EXPECT_TRUE(strip.window->isVisible());

    QString asked;
    test::ReadNextMessage(asked, QMessageBox::No);
    EXPECT_FALSE(strip.window->close());
    EXPECT_EQ(asked, "Are you sure you want to close Ambrin?");
    OnNextDialog([](QDialog* box) { box->done(QMessageBox::Yes); });
    EXPECT_TRUE(strip.window->close());
}

TEST_F(MainWindowTest, PickingFromTheListAndLeavingTheDropDown)
{
    test::WriteBytes(FileLocations().ProjectListPath(), "Website\r\naccounts\r\nBudget\r\n");
    Strip strip;
    QComboBox* combo = strip.Combo();
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    EXPECT_EQ(shown, (QStringList{"", "<idle>", "accounts", "Budget", "Website"}))
        << "sorted ignoring case, the empty item kept";

    combo->setCurrentIndex(combo->findText("Budget"));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(strip.app.Log().At(0).project, "Budget");

    // Typing without Enter, then moving the focus to a picker, changes project too.
    strip.window->show();
    QApplication::setActiveWindow(strip.window.get());
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "Website");
    strip.window->findChild<QWidget*>("timePicker")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(strip.app.Log().Count(), 2u);
    EXPECT_EQ(strip.app.Log().At(1).project, "Website");

    // The mouse wheel over the closed drop-down does not switch projects.
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    EXPECT_EQ(combo->currentText(), "Website");

    // Enter in a picker changes project as in the drop-down.
    combo->setEditText("Budget");
    QTest::keyClick(strip.window->findChild<QWidget*>("datePicker"), Qt::Key_Return);
    EXPECT_EQ(strip.app.Log().At(2).project, "Budget");
}

TEST_F(MainWindowTest, LargeLogLoadsAndSavesWhole)
{
    TimeLog big = test::GenerateLog(100'000);
    big.Append("Running", "", MakeTime(2020, 1, 1), {});
    std::ostringstream bytes;
    big.WriteCsv(bytes, false);
    test::WriteBytes(FileLocations().CurrentLogPath(), bytes.str());
    for (const bool loadEarly : {false, true}) {
        Strip strip(loadEarly);
        EXPECT_EQ(strip.Combo()->currentText(), "Running") << loadEarly;
        EXPECT_EQ(strip.app.Log().Count(), 100'001u) << loadEarly;
        strip.Type("Running");
        EXPECT_EQ(strip.Log(), bytes.str()) << loadEarly;
    }
}

// The reading thread is given its paths before it starts: an environment changed meanwhile (Qt
// changes it as it starts) does not send it to other files.
TEST_F(MainWindowTest, AnEarlyLoadReadsTheFilesOfItsStart)
{
    test::WriteBytes(FileLocations().CurrentLogPath(), "\"3-7-2005 9:05\",\"\",\"Ours\",\"\"\r\n");
    App app;
    app.BeginLoading();
    test::TempHome elsewhere;
    test::WriteBytes(FileLocations().CurrentLogPath(),
                     "\"3-7-2005 9:05\",\"\",\"Theirs\",\"\"\r\n");
    const auto files = app.LoadFiles();
    ASSERT_EQ(app.Log().Count(), 1u);
    EXPECT_EQ(app.Log().View(0).project, "Ours");
}

TEST_F(MainWindowTest, AnEarlyLoadNobodyTookIsAwaitedAtTheEnd)
{
    test::WriteBytes(FileLocations().CurrentLogPath(), test::GenerateCsv(50'000));
    auto app = std::make_unique<App>();
    app->BeginLoading();
    app.reset();  // while the reader still fills its log: the end waits for it
}

// The tray's menu does what the strip's own controls do; its tooltip is the status line.
class TrayMenu : public test::StripTest {
protected:
    QAction* Action(const QString& text)
    {
        for (QAction* action : strip_.window->Tray()->Menu()->actions()) {
            if (action->text() == text) return action;
        }
        ADD_FAILURE() << "no " << text.toStdString() << " in the menu";
        return nullptr;
    }
    QStringList Texts()
    {
        QStringList texts;
        for (QAction* action : strip_.window->Tray()->Menu()->actions()) texts << (action->isSeparator() ? "-" : action->text());
        return texts;
    }
    test::Strip strip_;
};

TEST_F(TrayMenu, ListsTheLastTenProjectsAndDoesWhatTheStripDoes)
{
    for (int i = 1; i <= 12; ++i) {
        strip_.Type(QStringLiteral("P%1").arg(i));
        Pass(strip_, 600);
    }
    strip_.Type("p3");  // the same project as P3: once, where and as it was used last
    QCoreApplication::processEvents();
    EXPECT_EQ(Texts(), (QStringList{"p3", "P12", "P11", "P10", "P9", "P8", "P7", "P6", "P5", "P4", "<idle>", "-", "&Notes...",
                                    "Current &Log...", "S&ummary...", "&Options...", "-", "&Show Ambrin", "&Quit"}));
    EXPECT_EQ(strip_.window->Tray()->ToolTip(), "p3  0:00  (today 2:00)");

    clock_.AdvanceSeconds(300);
    Action("P9")->trigger();
    EXPECT_NE(strip_.Log().find("\"P9\",\"\"\r\n"), std::string::npos) << "switched and saved";
    EXPECT_FALSE(QApplication::activeModalWidget()) << "no notes window from the tray";
    EXPECT_EQ(Texts().front(), "P9");
    Action("<idle>")->trigger();
    EXPECT_EQ(strip_.window->Tray()->ToolTip(), "<idle>  (today 2:05)");

    // The windows open as from the strip's own buttons.
    const std::pair<const char*, const char*> windows[] = {
        {"&Notes...", "notesDialog"}, {"Current &Log...", "editLogDialog"},
        {"&Options...", "optionsDialog"}};
    for (const auto& window : windows) {
        EXPECT_EQ(test::DialogOpenedBy([&] { Action(window.first)->trigger(); }), window.second);
    }
    Action("S&ummary...")->trigger();
    EXPECT_NE(strip_.window->findChild<SummaryDialog*>(), nullptr);
    strip_.window->hide();
    Action("&Show Ambrin")->trigger();
    EXPECT_TRUE(strip_.window->isVisible());
}

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

// Yes to closing, then that choice about the records not saved.
void AnswerQuitUnsaved(const char* choice)
{
    OnNextDialog([](QDialog* box) { box->done(QMessageBox::Yes); }, "closeQuestion");
    OnNextDialog([choice](QDialog* box) { Click(box, choice); }, "quitUnsaved");
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
        const QString tip = warning->toolTip();
        EXPECT_TRUE(tip.contains("No space left on device")) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QString::fromStdString(strip.app.Locations().CurrentLogPath())));
        EXPECT_EQ(Shown("saveProblem"), 1) << "told once, not at every switch";

        AnswerQuitUnsaved("keepTrying");
        EXPECT_FALSE(strip.window->close());
        EXPECT_TRUE(strip.app.Log().View(2).end.IsEmpty()) << "keeps running as it was";
    }
    strip.window->findChild<QTimer*>("saveRetryTimer")->setInterval(1);
    QTest::qWait(50);
    EXPECT_FALSE(warning->isVisible()) << "the retry succeeded";
    const std::string ended = "\"3-7-2005 9:05\",\"3-7-2005 9:05\",";
    const std::string two = ended + "\"Accounts\",\"\"\r\n" + ended + "\"Website\",\"\"\r\n";
    EXPECT_EQ(strip.Log(), two + "\"3-7-2005 9:05\",\"\",\"Calls\",\"\"\r\n");

    // The folder gone from under the log, a file in its place: a copy saved elsewhere.
    const std::string folder = strip.app.Locations().LogFolder();
    std::filesystem::rename(folder, folder + ".away");
    WriteBytes(folder, "a file");
    const std::string copy = home_.Path() + "/copy.csv";
    AnswerQuitUnsaved("saveCopy");
    OnNextDialog([&copy](QDialog* dialog) {
        test::TypeFileName(dialog, copy);
        dialog->accept();
    }, "saveCopyDialog");
    EXPECT_TRUE(strip.window->close()) << "a copy saved elsewhere lets Ambrin quit";
    EXPECT_EQ(FileBytes(copy), two + ended + "\"Calls\",\"\"\r\n");
}
#endif

// A script ends the running record and adds a name while the strip sits still. A focus change
// runs a switch to what the drop-down shows: it shows the record ended and starts nothing.
// Read back at a tick, the list's new name shows; a switch goes on top of both.
TEST_F(FileKeeperTest, AnotherProgramsChangesAreShownAndSwitchedOnTopOf)
{
    Strip strip;
    strip.window->show();
    strip.Type("Accounts");
    // A script ends the running record while the strip sits still: the next tick shows it.
    const std::string ended = "\"3-7-2005 9:05\",\"3-7-2005 9:20\",\"Accounts\",\"\"\r\n";
    WriteBytes(strip.app.Locations().CurrentLogPath(), ended);
    clock_.AdvanceSeconds(30 * 60);
    strip.window->Tick();
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>") << "shown ended";

    // Again, and the focus leaves the drop-down before a tick: nothing starts again.
    strip.Type("Accounts");
    const std::string endedAgain = ended + "\"3-7-2005 9:35\",\"3-7-2005 9:40\",\"Accounts\",\"\"\r\n";
    WriteBytes(strip.app.Locations().CurrentLogPath(), endedAgain);
    clock_.AdvanceSeconds(10 * 60);
    strip.Combo()->lineEdit()->setFocus();
    strip.Combo()->lineEdit()->clearFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>") << "shown ended";
    EXPECT_EQ(strip.Log(), endedAgain);

    WriteBytes(strip.app.Locations().ProjectListPath(), "Accounts\r\nScripted\r\n");
    strip.window->Tick();
    EXPECT_GE(strip.Combo()->findText("Scripted"), 0);
    strip.Type("Website");
    EXPECT_EQ(strip.Log(), endedAgain + "\"3-7-2005 9:45\",\"\",\"Website\",\"\"\r\n");
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
    const std::string theirs = "\"3-7-2005 8:00\",\"3-7-2005 9:00\",\"Script\",\"\"\r\n";
    for (const char* choice : {"replaceFile", "keepFile"}) {
        for (const auto& [meanwhile, what] : meanwhiles) {
            test::TempHome home;
            SetUp();  // this home's options
            Strip strip;
            strip.window->show();
            strip.Type("Accounts");
            const std::string ours = strip.Log();
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
            const std::string file = now == Meanwhile::FailedSaveRetried ? theirs + ours : theirs;
            EXPECT_EQ(strip.Log(), replaced ? ours : file) << row;
            const std::string backup = strip.app.Locations().LogFolder() + "/Backups/current log.csv";
            EXPECT_EQ(FileBytes(backup), replaced ? file : "") << row << ": the replaced file is kept";
        }
    }
}

// The message of merged copies that is up, if any.
QMessageBox* MergeMessage()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "conflictsMerged" && top->isVisible()) return static_cast<QMessageBox*>(top);
    }
    return nullptr;
}

std::string CopyName(int minute)
{
    return "/current log.sync-conflict-20050307-09" + std::to_string(10 + minute) + "00-ABCDEFG.csv";
}

TEST_F(FileKeeperTest, ConflictCopiesAreMergedWhenTheyAppearAndTold)
{
    Strip strip;
    strip.window->show();
    strip.Type("Accounts");
    const std::string folder = strip.app.Locations().LogFolder();
    const std::string copy = "/current log (conflicted copy 2005-03-07 090600).csv";
    const std::string other = "\"3-7-2005 8:00\",\"3-7-2005 9:05\",\"Laptop\",\"\"\r\n";
    WriteBytes(folder + copy, other + strip.Log());
    strip.window->Tick();
    EXPECT_EQ(strip.Log(), other + "\"3-7-2005 9:05\",\"\",\"Accounts\",\"\"\r\n");
    EXPECT_EQ(Shown("conflictsMerged"), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Backups" + copy));

    // A copy while the message is up is added to it; after it is closed, the next copy has a
    // message of its own.
    WriteBytes(folder + CopyName(0), "\"3-7-2005 7:00\",\"3-7-2005 7:30\",\"Phone\",\"\"\r\n");
    strip.window->Tick();
    EXPECT_EQ(Shown("conflictsMerged"), 1);
    ASSERT_TRUE(MergeMessage());
    std::string told = MergeMessage()->informativeText().toStdString();
    EXPECT_NE(told.find(copy.substr(1)), std::string::npos) << told;
    EXPECT_NE(told.find(CopyName(0).substr(1)), std::string::npos) << told;
    MergeMessage()->close();
    WriteBytes(folder + CopyName(1), "\"3-7-2005 6:00\",\"3-7-2005 6:30\",\"Post\",\"\"\r\n");
    strip.window->Tick();
    EXPECT_EQ(Shown("conflictsMerged"), 1);
    ASSERT_TRUE(MergeMessage());
    told = MergeMessage()->informativeText().toStdString();
    EXPECT_NE(told.find(CopyName(1).substr(1)), std::string::npos) << told;
    EXPECT_EQ(told.find(copy.substr(1)), std::string::npos) << told;
}

// Wherever the strip stands and however many copies come, the message stays on the screen
// and clear of the strip, which goes on working.
TEST_F(FileKeeperTest, TheMergeMessageStaysBesideTheStrip)
{
    const struct {
        const char* row;
        bool atFoot;  // the strip at the screen's bottom right
        bool beforeStart;  // the first copy was left while Ambrin was not running
        int copies;
    } rows[] = {
        {"one copy, the strip at the top", false, false, 1},
        {"ten copies one by one, the strip at the foot", true, false, 10},
        {"a copy left before the start", false, true, 1},
    };
    for (const auto& row : rows) {
        const std::string folder = FileLocations().LogFolder();
        std::filesystem::create_directories(folder);
        const auto leave = [&](int i) { WriteBytes(folder + CopyName(i), "\"3-7-2005 6:00\",\"3-7-2005 6:30\",\"Post\",\"\"\r\n"); };
        if (row.beforeStart) leave(0);
        Strip strip;
        strip.window->show();
        const QRect screen = strip.window->screen()->availableGeometry();
        const QSize size = strip.window->frameGeometry().size();
        if (row.atFoot) strip.window->move(screen.bottomRight() + QPoint(1, 1) - QPoint(size.width(), size.height()));
        QTest::qWait(0);
        for (int i = row.beforeStart; i < row.copies; ++i) {
            leave(i);
            strip.window->Tick();
        }
        ASSERT_EQ(Shown("conflictsMerged"), 1) << row.row;
        for (const char* step : {"shown", "the strip moved onto it"}) {
            const QRect message = MergeMessage()->frameGeometry(), around = strip.window->frameGeometry();
            EXPECT_FALSE(message.intersects(around)) << row.row << ", " << step;
            EXPECT_TRUE(message.top() == around.bottom() + 1 || message.bottom() == around.top() - 1) << row.row << ", " << step;
            EXPECT_TRUE(screen.contains(message)) << row.row << ", " << step;
            // Moved a little onto it.
            strip.window->move(strip.window->pos() + QPoint(0, message.top() > around.top() ? 10 : -10));
        }
        const std::string told = MergeMessage()->informativeText().toStdString();
        EXPECT_NE(told.find(CopyName(row.copies - 1).substr(1)), std::string::npos) << row.row << ": " << told;
        EXPECT_EQ(told.find("and 2 earlier") != std::string::npos, row.copies == 10) << row.row << ": " << told;
    }
}

// Files that cannot be read (a folder where each should be, whoever runs the test; settings
// that are no settings) are named once, moved aside or left alone, never overwritten.
TEST_F(FileKeeperTest, FilesThatCannotBeReadAreNamedOnceAtStart)
{
    FileLocations locations;
    const std::string log = locations.CurrentLogPath();
    const std::string list = locations.ProjectListPath();
    std::filesystem::create_directory(log);
    WriteBytes(log + "/precious", "x");
    std::filesystem::create_directory(list);
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
    EXPECT_EQ(FileBytes(hive), "not a settings file");
    // The default options: the notes editor at a switch.
    OnNextDialog([](QDialog* notes) { notes->reject(); });
#endif
    strip.Type("Accounts");
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"\"\r\n");
    EXPECT_EQ(strip.List(), "\r\n<idle>\r\nAccounts\r\n");
    EXPECT_EQ(FileBytes(log + ".unreadable-20050307-090500/precious"), "x");
    EXPECT_TRUE(std::filesystem::is_directory(list + ".unreadable-20050307-090500"));
}

}  // namespace
}  // namespace ambrin
