// The tray's menu does what the strip's own controls do; its tooltip is the status line.
#include "app/TrayIcon.h"
#include "dialogs/SummaryDialog.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/StripDriver.h"

#include <QAction>
#include <QMenu>

namespace ambrin {
namespace {

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
        clock_.AdvanceSeconds(600);
        strip_.window->Tick();
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
    for (const auto& [action, window] : {std::pair{"&Notes...", "notesDialog"}, std::pair{"Current &Log...", "editLogDialog"},
                                         std::pair{"&Options...", "optionsDialog"}}) {
        QString opened;
        test::OnNextDialog([&opened](QDialog* dialog) {
            opened = dialog->objectName();
            dialog->reject();
        });
        Action(action)->trigger();
        EXPECT_EQ(opened, window) << action;
    }
    Action("S&ummary...")->trigger();
    EXPECT_NE(strip_.window->findChild<SummaryDialog*>(), nullptr);
    strip_.window->hide();
    Action("&Show Ambrin")->trigger();
    EXPECT_TRUE(strip_.window->isVisible());
}

}  // namespace
}  // namespace ambrin
