#include "app/MainWindow.h"

#include "storage/LogFiles.h"
#include "support/DialogDriver.h"
#include "support/LogGenerator.h"
#include "support/StripDriver.h"

#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QWheelEvent>

#include <filesystem>
#include <sstream>

namespace ambrin {
namespace {

using test::FileBytes;
using test::MakeTime;
using test::OnNextDialog;
using test::Strip;

void TypeNotesAndConfirm(const QString& text)
{
    OnNextDialog([text](QDialog* dialog) {
        auto* edit = dialog->findChild<QPlainTextEdit*>("notesEdit");
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

class MainWindowTest : public test::StripTest {};

TEST_F(MainWindowTest, FirstStartThenTypedSwitchesReachTheFiles)
{
    SettingsStore::Write(settings::kPopNote, true);
    Strip strip;
    EXPECT_EQ(strip.Combo()->currentText(), "<idle>");
    EXPECT_EQ(strip.Combo()->count(), 2) << "an empty item and <idle>";
    EXPECT_EQ(strip.window->windowTitle(), "Ambrin 1.2");
    EXPECT_TRUE(strip.window->windowFlags() & Qt::WindowStaysOnTopHint);

    TypeNotesAndConfirm("first");
    strip.Type("Accounts");
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"first\"\r\n");
    EXPECT_EQ(strip.List(), "\r\n<idle>\r\nAccounts\r\n");
    EXPECT_EQ(strip.Combo()->currentText(), "Accounts");
    clock_.AdvanceSeconds(30 * 60);
    strip.window->Tick();
    strip.Type("<idle>");  // no notes editor for <idle>: it would wait for the deadline
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"3-7-2005 9:35\",\"Accounts\",\"first\"\r\n")
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
    clock_.AdvanceSeconds(55 * 60);
    strip.window->Tick();
    strip.Type("Website redesign");
    clock_.AdvanceSeconds(47 * 60);
    strip.window->Tick();
    EXPECT_EQ(combo->toolTip(), "Website redesign\nsince 10:00, 0:47 so far\ntoday 1:42");
    clock_.Set(MakeTime(2005, 3, 8, 9, 30, 0));  // the next morning, left running
    strip.window->Tick();
    EXPECT_EQ(combo->toolTip(), "Website redesign\nsince Mon 7 Mar 10:00, 23:30 so far\ntoday 9:30");
}

TEST_F(MainWindowTest, PickerSetBackHoldsForTenSeconds)
{
    Strip strip;
    strip.Type("Accounts");
    auto* time = strip.window->findChild<QTimeEdit*>("timePicker");

    //  clock   09:05 ---------------------------- 09:25:00  09:25:09
    //  picker                        09:10 (set by hand at 09:25:00)
    //  Website chosen at 09:25:09 starts at 09:10, within the 10-second hold
    clock_.AdvanceSeconds(20 * 60);
    strip.window->Tick();
    time->setTime(QTime(9, 10, 0));
    clock_.AdvanceSeconds(9);
    strip.window->Tick();
    strip.Type("Website");
    EXPECT_EQ(strip.app.Log().At(0).end, MakeTime(2005, 3, 7, 9, 10));
    EXPECT_EQ(strip.app.Log().At(1).start, MakeTime(2005, 3, 7, 9, 10));

    time->setTime(QTime(9, 12, 0));
    clock_.AdvanceSeconds(10);
    strip.window->Tick();
    EXPECT_EQ(time->time(), QTime(9, 25, 19)) << "after 10 s the pickers follow the clock again";

    time->setTime(QTime(9, 25, 22));  // within 5 s of the clock: not a hand edit
    clock_.AdvanceSeconds(1);
    strip.window->Tick();
    EXPECT_EQ(time->time(), QTime(9, 25, 20));
}

TEST_F(MainWindowTest, NotesCancelKeepsThemOkReplacesThem)
{
    Strip strip;
    strip.Type("Accounts");
    auto* notes = strip.window->findChild<QWidget*>("notesButton");
    TypeNotesAndConfirm("Called client");
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(strip.app.Log().At(0).notes, "Called client");

    OnNextDialog([](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QPlainTextEdit*>("notesEdit"), " and more");
        dialog->reject();
    });
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(strip.app.Log().At(0).notes, "Called client");

    OnNextDialog([](QDialog* dialog) {
        auto* edit = dialog->findChild<QPlainTextEdit*>("notesEdit");
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(edit, "Sent invoice");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"Called client\\r\\nSent invoice\"\r\n")
        << "caret at the end, nothing selected, Ctrl+Enter breaks the line";
}

TEST_F(MainWindowTest, UnchangedNotesKeepTheirBytes)
{
    FileLocations locations;
    test::WriteBytes(locations.CurrentLogPath(), "\"3-7-2005 9:05\",\"\",\"Caf\xE9\",\"lone\\nLF \xE9\"\r\n");
    Strip strip;
    OnNextDialog([](QDialog* dialog) { dialog->accept(); });
    QTest::mouseClick(strip.window->findChild<QWidget*>("notesButton"), Qt::LeftButton);
    EXPECT_EQ(strip.app.Log().At(0).notes, "lone\nLF \xE9");
    EXPECT_EQ(strip.app.Log().At(0).project, "Caf\xE9");
}

TEST_F(MainWindowTest, RunningProjectSurvivesARestartOrEndsWithEndProj)
{
    Strip strip;
    strip.Type("Accounts");
    strip.Restart();
    EXPECT_EQ(strip.Combo()->currentText(), "Accounts");
    EXPECT_EQ(strip.app.Log().Count(), 1u);

    SettingsStore::Write(settings::kEndProj, true);
    SettingsStore::Write(settings::kRoundTimes, true);
    clock_.Set(MakeTime(2005, 3, 7, 9, 48, 17));
    strip.window.reset();
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"3-7-2005 9:48\",\"Accounts\",\"\"\r\n")
        << "ended at the quit time, not rounded";
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

TEST_F(MainWindowTest, UnreadableFilesAreMovedAsideNotOverwritten)
{
    // A folder where the files should be cannot be read, whoever runs the test.
    FileLocations locations;
    const std::string log = locations.CurrentLogPath();
    const std::string list = locations.ProjectListPath();
    std::filesystem::create_directory(log);
    test::WriteBytes(log + "/precious", "x");
    std::filesystem::create_directory(list);
    Strip strip;
    strip.Type("Accounts");
    EXPECT_EQ(strip.Log(), "\"3-7-2005 9:05\",\"\",\"Accounts\",\"\"\r\n");
    EXPECT_EQ(strip.List(), "\r\n<idle>\r\nAccounts\r\n");
    const std::string aside = log + ".unreadable-20050307-090500";
    EXPECT_EQ(FileBytes(aside + "/precious"), "x");
    EXPECT_TRUE(std::filesystem::is_directory(list + ".unreadable-20050307-090500"));
}

TEST_F(MainWindowTest, PickingFromTheListAndLeavingTheDropDown)
{
    FileLocations locations;
    test::WriteBytes(locations.ProjectListPath(), "Website\r\naccounts\r\nBudget\r\n");
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
    FileLocations locations;
    test::WriteBytes(locations.CurrentLogPath(), "\"3-7-2005 9:05\",\"\",\"Ours\",\"\"\r\n");
    App app;
    app.BeginLoading();
    test::TempHome elsewhere;
    test::WriteBytes(FileLocations().CurrentLogPath(), "\"3-7-2005 9:05\",\"\",\"Theirs\",\"\"\r\n");
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

}  // namespace
}  // namespace ambrin

