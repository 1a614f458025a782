// Every window by keyboard alone and through a screen reader: each control has a name and a
// description, Tab walks the controls in their order, mnemonics and Enter press their buttons,
// and a whole day is done without a mouse.
#include "app/App.h"
#include "app/MainWindow.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/NotesDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "dialogs/SummaryDialog.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace ambrin {
namespace {

using test::MakeTime;
using test::OnNextDialog;
using test::Press;

// A control the user reaches with Tab; the parts Qt builds inside a control are not.
bool IsControl(const QWidget* widget, const QWidget* window)
{
    if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(window) || !widget->isEnabled()) {
        return false;
    }
    for (const QWidget* parent = widget->parentWidget(); parent && parent != window; parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent) ||
            qobject_cast<const QAbstractItemView*>(parent)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> TabOrder(QWidget* window, QWidget* first)
{
    std::vector<std::string> names;
    QWidget* widget = first;
    do {
        if (IsControl(widget, window)) names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 50);
    return names;
}

struct WindowCase {
    QWidget* window;
    std::vector<std::string> order;
};

// Every window: each control named and described, Tab through them in order, and F1 naming the
// help file that is missing.
TEST(Accessibility, EveryControlIsNamedDescribedAndInTabOrderAndF1Answers)
{
    test::TempHome home;
    const QString missing = QString::fromStdString("Unable to find or open Ambrin help file " +
                                                   home.Path() + "/Ambrin/Ambrin.hlp");
    App app;
    MainWindow strip(app);
    NotesDialog notes("", &strip);
    EditLogDialog editLog(app.Log(), app.Locations(), &strip);
    OptionsDialog options(app.Log(), app.Projects(), app.Locations(), &strip);
    ProjectListDialog list("", &strip);
    SummaryDialog summary(app.Log(), &strip);
    const WindowCase cases[] = {
        {&strip, {"projectCombo", "notesButton", "timePicker", "datePicker", "optionsButton"}},
        {&notes, {"notesEdit", "okButton", "cancelButton"}},
        {&editLog, {"logList", "newButton", "deleteButton", "deleteAllButton", "projectEdit", "startTime",
                    "startDate", "endCheck", "endTime", "endDate", "notesEdit", "saveButton", "loadButton",
                    "okButton", "cancelButton"}},
        {&options, {"topmostCheck", "popNoteCheck", "endProjCheck", "roundTimesCheck", "includeTotalsCheck",
                    "awayCheck", "awayMinutesSpin", "startAtLoginCheck", "currentLogButton", "summaryButton", "projectListButton", "websiteButton", "okButton", "helpButton"}},
        {&list, {"projectListEdit", "okButton", "cancelButton"}},
        {&summary, {"rangeCombo", "fromDate", "toDate", "groupingCombo", "summaryTable", "copyButton", "exportButton",
                    "helpButton", "closeButton"}},
    };
    for (const WindowCase& c : cases) {
        c.window->show();
        const std::string window = c.window->objectName().toStdString();
        QWidget* first = c.window->findChild<QWidget*>(QString::fromStdString(c.order.front()));
        ASSERT_NE(first, nullptr) << window;
        EXPECT_EQ(TabOrder(c.window, first), c.order) << window;
        for (QWidget* widget : c.window->findChildren<QWidget*>()) {
            if (!IsControl(widget, c.window)) continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            const std::string name = widget->objectName().toStdString();
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << window << "/" << name;
            EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty()) << window << "/" << name;
        }
        QString help;
        test::ReadNextMessage(help);
        QTest::keyClick(c.window, Qt::Key_F1);
        EXPECT_EQ(help, missing) << window;
        c.window->hide();
    }
}

// A mnemonic clicks its button as a user would see it: after a short press, in the active window.
TEST(Accessibility, MnemonicsReachTheirButtons)
{
    test::TempHome home;
    App app;
    EditLogDialog editLog(app.Log(), app.Locations());
    editLog.show();
    QApplication::setActiveWindow(&editLog);
    QTest::keyClick(&editLog, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editLog.WorkingLog().Count() == 1; })) << "Alt+N is New";
    QTest::keyClick(&editLog, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editLog.WorkingLog().Count() == 0; }))
        << "Alt+A is Delete All";

    OptionsDialog options(app.Log(), app.Projects(), app.Locations(), nullptr);
    options.show();
    // Alt+P is Edit Project List, Alt+S is Summary.
    for (const auto& [key, window] : {std::pair{Qt::Key_P, "projectListDialog"},
                                      std::pair{Qt::Key_S, "summaryDialog"}}) {
        QApplication::setActiveWindow(&options);  // offscreen, a closed dialog gives nothing back
        const auto press = [&options, key = key] {
            QTest::keyClick(&options, key, Qt::AltModifier);
        };
        EXPECT_EQ(test::DialogOpenedBy(press), window);
    }
}

// The strip is a frame to screen readers, its project box is "Project" whatever it shows, the
// running project's name shows whole in a tooltip, and its menu opens from every control, by
// the mouse or by Shift+F10.
TEST(Accessibility, TheStripAndItsProjectBoxAndMenu)
{
    test::TempHome home;
    App app;
    SettingsStore::Write(settings::kPopNote, false);
    MainWindow strip(app);
    strip.show();
    QApplication::setActiveWindow(&strip);
    auto* combo = strip.findChild<QComboBox*>("projectCombo");
    const QString longName = QStringLiteral("A project with a name far longer than the box shows");
    combo->setEditText(longName);
    strip.ChangeProject();
    QCoreApplication::processEvents();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&strip)->role(), QAccessible::Window);
    for (QObject* box : {static_cast<QObject*>(combo), static_cast<QObject*>(combo->lineEdit())}) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), "Project");
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(combo)->text(QAccessible::Value), longName);
    EXPECT_EQ(combo->toolTip().section('\n', 0, 0), longName);

    for (const char* name : {"projectCombo", "timePicker", "datePicker", "notesButton", "optionsButton"}) {
        QWidget* control = strip.findChild<QWidget*>(name);
        QWidget* target = name == std::string("projectCombo") ? combo->lineEdit() : control;
        for (const bool byKey : {false, true}) {
            QStringList actions;
            QTimer::singleShot(50, [&actions] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    for (QAction* action : menu->actions()) actions << action->text();
                    menu->close();
                }
            });
            control->setFocus();
            if (byKey) {
                QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
            } else {
                QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(target, &click);
            }
            EXPECT_TRUE(actions.contains(QStringLiteral("&About Ambrin..."))) << name << (byKey ? " by key" : "");
        }
    }
}

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

// Enter on a focused push button presses that button, not the dialog's default OK (Save Log and
// Current Log by Enter: the whole day below).
TEST_F(KeyboardTest, EnterPressesTheFocusedButton)
{
    EditLogDialog editLog(app_.Log(), app_.Locations());
    FocusIn(&editLog, "deleteAllButton");
    Press(Qt::Key_Return);
    EXPECT_EQ(editLog.WorkingLog().Count(), 0u);
    EXPECT_TRUE(editLog.isVisible()) << "OK was not pressed";
    editLog.findChild<QWidget*>("cancelButton")->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(editLog.result(), QDialog::Rejected);
    EXPECT_EQ(app_.Log().Count(), 2u);

    ProjectListDialog list("Kept\r\n");
    FocusIn(&list, "projectListEdit");
    test::Type("Typed");
    list.findChild<QWidget*>("cancelButton")->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(list.result(), QDialog::Rejected);
}

// In the strip Enter on the notes or options button opens its window, as Space does.
TEST_F(KeyboardTest, EnterOrSpaceOnTheStripsButtonsOpensTheirWindows)
{
    MainWindow strip(app_);
    for (const auto& [button, key, window] : {std::tuple{"notesButton", Qt::Key_Return, "notesDialog"},
                                              std::tuple{"notesButton", Qt::Key_Space, "notesDialog"},
                                              std::tuple{"optionsButton", Qt::Key_Enter, "optionsDialog"}}) {
        FocusIn(&strip, button);
        EXPECT_EQ(test::DialogOpenedBy([key = key] { Press(key); }), window) << button;
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
