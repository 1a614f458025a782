// Every window by keyboard alone and through a screen reader: each control has a name and a
// description, and Tab walks the controls in their order.
#include "app/App.h"
#include "app/MainWindow.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/NotesDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "dialogs/SummaryDialog.h"
#include "support/DialogDriver.h"
#include "storage/SettingsStore.h"
#include "support/TempHome.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTest>

namespace ambrin {
namespace {

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

TEST(Accessibility, EveryControlIsNamedDescribedAndInTabOrder)
{
    test::TempHome home;
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
        c.window->hide();
    }
}

TEST(Accessibility, MnemonicsReachTheirButtons)
{
    test::TempHome home;
    App app;
    EditLogDialog editLog(app.Log(), app.Locations());
    editLog.show();
    QApplication::setActiveWindow(&editLog);  // shortcuts act in the active window
    // A mnemonic clicks its button as a user would see it: after a short press.
    QTest::keyClick(&editLog, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editLog.WorkingLog().Count() == 1; })) << "Alt+N is New";
    QTest::keyClick(&editLog, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editLog.WorkingLog().Count() == 0; })) << "Alt+A is Delete All";

    OptionsDialog options(app.Log(), app.Projects(), app.Locations(), nullptr);
    options.show();
    QApplication::setActiveWindow(&options);
    QString opened;
    test::OnNextDialog([&opened](QDialog* dialog) {
        opened = dialog->windowTitle();
        dialog->reject();
    });
    QTest::keyClick(&options, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, "Edit Project List") << "Alt+P is Edit Project List";
    opened.clear();
    test::OnNextDialog([&opened](QDialog* dialog) {
        opened = dialog->windowTitle();
        dialog->reject();
    });
    QApplication::setActiveWindow(&options);  // offscreen, a closed dialog gives nothing back
    QTest::keyClick(&options, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, "Ambrin summary") << "Alt+S is Summary...";
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

}  // namespace
}  // namespace ambrin
