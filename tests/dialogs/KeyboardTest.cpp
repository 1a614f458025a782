// The windows by keyboard alone: Enter presses the focused button, Tab leaves the list, and a
// whole day is done without a mouse.
#include "app/App.h"
#include "app/MainWindow.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTableView>

namespace ambrin {
namespace {

using test::MakeTime;
using test::OnNextDialog;
using test::Press;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsStore::Write(settings::kPopNote, false);
        app_.Log().Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
        app_.Log().Append("B", "", MakeTime(2005, 3, 7, 10, 0), MakeTime(2005, 3, 7, 11, 0));
    }
    void TearDown() override { EditLogDialog::SetFileChooser({}); }
    // Shows a window as the active one, with the focus on the named control.
    static void FocusIn(QWidget* window, const char* control)
    {
        window->show();
        QApplication::setActiveWindow(window);
        window->findChild<QWidget*>(control)->setFocus();
    }

    test::TempHome home_;
    test::FakeClock clock_{MakeTime(2005, 3, 7, 12, 0, 0)};
    App app_;
};

// Enter on a focused push button presses that button, not the dialog's default OK.
TEST_F(KeyboardTest, EnterPressesTheFocusedButton)
{
    {
        EditLogDialog editLog(app_.Log(), app_.Locations());
        int chosen = 0;
        EditLogDialog::SetFileChooser([&chosen](QWidget*, bool, const QString&) {
            ++chosen;
            return QString();
        });
        FocusIn(&editLog, "deleteAllButton");
        Press(Qt::Key_Return);
        EXPECT_EQ(editLog.WorkingLog().Count(), 0u);
        editLog.findChild<QWidget*>("saveButton")->setFocus();
        Press(Qt::Key_Return);
        EXPECT_EQ(chosen, 1) << "Save Log asked for a file";
        EXPECT_TRUE(editLog.isVisible()) << "OK was not pressed";
        editLog.findChild<QWidget*>("cancelButton")->setFocus();
        Press(Qt::Key_Return);
        EXPECT_EQ(editLog.result(), QDialog::Rejected);
        EXPECT_EQ(app_.Log().Count(), 2u);
    }
    {
        ProjectListDialog list("Kept\r\n");
        FocusIn(&list, "projectListEdit");
        test::Type("Typed");
        list.findChild<QWidget*>("cancelButton")->setFocus();
        Press(Qt::Key_Return);
        EXPECT_EQ(list.result(), QDialog::Rejected);
    }
    {
        OptionsDialog options(app_.Log(), app_.Projects(), app_.Locations(), nullptr);
        QString opened;
        OnNextDialog(
            [&opened](QDialog* dialog) {
                opened = dialog->windowTitle();
                dialog->reject();
            },
            "editLogDialog");
        FocusIn(&options, "currentLogButton");
        Press(Qt::Key_Return);
        EXPECT_EQ(opened, "Edit Log");
        EXPECT_TRUE(options.isVisible());
    }
}

// In the strip Enter on the notes or options button opens its window, as Space does.
TEST_F(KeyboardTest, EnterOrSpaceOnTheStripsButtonsOpensTheirWindows)
{
    MainWindow strip(app_);
    for (const auto& [button, key, window] : {std::tuple{"notesButton", Qt::Key_Return, "notesDialog"},
                                              std::tuple{"notesButton", Qt::Key_Space, "notesDialog"},
                                              std::tuple{"optionsButton", Qt::Key_Enter, "optionsDialog"}}) {
        QString opened;
        OnNextDialog([&opened](QDialog* dialog) {
            opened = dialog->objectName();
            dialog->reject();
        });
        FocusIn(&strip, button);
        Press(key);
        EXPECT_EQ(opened, window) << button;
    }
    EXPECT_EQ(app_.Log().Count(), 3u) << "no change of project: the blank record only";
}

// Tab and Ctrl+Tab leave the list to the next control; the selection stays.
TEST_F(KeyboardTest, TabLeavesTheEditLogsList)
{
    EditLogDialog editLog(app_.Log(), app_.Locations());
    FocusIn(&editLog, "logList");
    auto* list = editLog.findChild<QTableView*>("logList");
    list->selectRow(1);
    for (const auto& [modifiers, next] : {std::pair{Qt::NoModifier, "newButton"},
                                          std::pair{Qt::ControlModifier, "newButton"},
                                          std::pair{Qt::ShiftModifier, "cancelButton"}}) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab, modifiers);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), next) << int(modifiers);
        EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 1) << int(modifiers);
    }
}

// Switch, notes, a change dated back, the Edit Log (a record's project, start and notes
// corrected, the log saved), quit: every step a key press to whatever holds the focus.
TEST_F(KeyboardTest, AWholeDayByKeyboardAlone)
{
    using test::Type;
    SettingsStore::Write(settings::kPopNote, true);
    const std::string saved = home_.Path() + "/saved.csv";
    EditLogDialog::SetFileChooser([&saved](QWidget*, bool, const QString&) { return QString::fromStdString(saved); });
    auto strip = std::make_unique<MainWindow>(app_);
    strip->show();
    QApplication::setActiveWindow(strip.get());
    const auto tabs = [](int count, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        for (int i = 0; i < count; ++i) Press(Qt::Key_Tab, modifiers);
    };

    // 12:00 Accounts, with notes; at 14:00, Website dated back an hour.
    OnNextDialog([](QDialog*) {
        Type(QStringLiteral("call"));
        Press(Qt::Key_Return);
    });
    Type(QStringLiteral("Accounts"));
    Press(Qt::Key_Return);
    clock_.AdvanceSeconds(2 * 3600);
    strip->Tick();
    tabs(2);  // the notes button, the time picker's hours
    Press(Qt::Key_Down);
    tabs(2, Qt::ShiftModifier);
    OnNextDialog([](QDialog*) { Press(Qt::Key_Escape); });
    Press(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("Website"));
    Press(Qt::Key_Return);
    QCoreApplication::processEvents();

    // The options, then the Edit Log: Accounts starts at 11:00 as "Accounts Q1", with more notes.
    OnNextDialog(
        [&](QDialog* editLog) {
            ASSERT_TRUE(QTest::qWaitFor([editLog] { return static_cast<EditLogDialog*>(editLog)->Settled(); }));
            Press(Qt::Key_Down);
            Press(Qt::Key_Down);
            ASSERT_TRUE(QTest::qWaitFor([editLog] { return static_cast<EditLogDialog*>(editLog)->Settled(); }));
            tabs(4);  // New, Delete, Delete All, the project
            Press(Qt::Key_A, Qt::ControlModifier);
            Type(QStringLiteral("Accounts Q1"));
            tabs(1);  // the start time's hours
            Press(Qt::Key_Down);
            tabs(5);  // start date, end check, end time, end date, notes
            Press(Qt::Key_End, Qt::ControlModifier);
            Type(QStringLiteral(" and mail"));
            tabs(1);
            Press(Qt::Key_Return);  // Save Log
            tabs(2);
            Press(Qt::Key_Return);  // OK
        },
        "editLogDialog");
    OnNextDialog(
        [&](QDialog*) {
            tabs(8);  // past the options to Current Log
            Press(Qt::Key_Return);
            Press(Qt::Key_Escape);  // the options themselves stay as they were
        },
        "optionsDialog");
    tabs(4);  // notes, time, date, options
    Press(Qt::Key_Return);

    const std::string day = "\"3-7-2005 9:00\",\"3-7-2005 10:00\",\"A\",\"\"\r\n"
                            "\"3-7-2005 10:00\",\"3-7-2005 11:00\",\"B\",\"\"\r\n"
                            "\"3-7-2005 11:00\",\"3-7-2005 13:00\",\"Accounts Q1\",\"call and mail\"\r\n"
                            "\"3-7-2005 13:00\",\"\",\"Website\",\"\"\r\n";
    std::string savedDay = day;  // Save Log commits nothing first: the notes were still being typed
    savedDay.replace(savedDay.find("call and mail"), 13, "call");
    EXPECT_EQ(test::FileBytes(saved), savedDay);
    OnNextDialog([](QDialog*) { Press(Qt::Key_Return); }, "closeQuestion");
    EXPECT_TRUE(strip->close());
    strip.reset();
    EXPECT_EQ(test::FileBytes(app_.Locations().CurrentLogPath()), day);
}

}  // namespace
}  // namespace ambrin
