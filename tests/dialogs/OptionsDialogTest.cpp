#include "dialogs/OptionsDialog.h"

#include "app/App.h"
#include "app/MainWindow.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace ambrin {
namespace {

using test::MakeTime;
using test::OnNextDialog;

const char* const kBoxNames[] = {"topmostCheck", "popNoteCheck", "endProjCheck", "roundTimesCheck",
                                 "includeTotalsCheck"};

class OptionsTest : public ::testing::Test {
protected:
    // Opens the options from the strip and lets act drive them.
    void ShowOptions(std::function<void(QDialog*)> act)
    {
        OnNextDialog(std::move(act));
        strip_->ShowOptions();
    }
    std::string Hive() { return test::FileBytes(home_.HivePath()); }

    test::TempHome home_;
    test::FakeClock clock_{MakeTime(2005, 3, 7, 9, 5, 0)};
    App app_;
    std::unique_ptr<MainWindow> strip_ = std::make_unique<MainWindow>(app_);
};

// Escape stores and changes nothing; OK by Enter stores every option, and stay-on-top changes
// at once without ending the strip.
TEST_F(OptionsTest, EscapeStoresNothingOkStoresEveryOptionAndStayOnTopAtOnce)
{
    strip_->show();
    ShowOptions([](QDialog* dialog) {
        for (const char* name : kBoxNames) dialog->findChild<QCheckBox*>(name)->toggle();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(Hive(), "");
    EXPECT_TRUE(strip_->windowFlags() & Qt::WindowStaysOnTopHint);

    std::vector<bool> ticks;
    ShowOptions([&ticks](QDialog* dialog) {
        for (const char* name : kBoxNames) ticks.push_back(dialog->findChild<QCheckBox*>(name)->isChecked());
        dialog->findChild<QCheckBox*>("topmostCheck")->setChecked(false);
        dialog->findChild<QCheckBox*>("includeTotalsCheck")->setChecked(true);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(ticks, (std::vector<bool>{true, true, false, false, false})) << "the first start's";
    EXPECT_EQ(Hive(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Velmora Software\\Ambrin]\r\n"
                      "\"Topmost\"=dword:00000000\r\n\"PopNote\"=dword:00000001\r\n"
                      "\"EndProj\"=dword:00000000\r\n\"RoundTimes\"=dword:00000000\r\n"
                      "\"IncludeTotals\"=dword:00000001\r\n\"AwayMinutes\"=dword:0000000a\r\n");
    EXPECT_FALSE(strip_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(strip_->isVisible()) << "changing stay-on-top never ends the strip";
}

// The question about time away: its minutes, or off (0), shown again as stored.
TEST_F(OptionsTest, TimeAwayAsksAfterItsMinutesOrNever)
{
    const std::tuple<bool, int, std::uint32_t> steps[] = {{true, 25, 25}, {false, 25, 0}, {true, 10, 10}};
    for (const auto& [ask, minutes, stored] : steps) {
        ShowOptions([ask = ask, minutes = minutes](QDialog* dialog) {
            dialog->findChild<QCheckBox*>("awayCheck")->setChecked(ask);
            dialog->findChild<QSpinBox*>("awayMinutesSpin")->setValue(minutes);
            dialog->accept();
        });
        EXPECT_EQ(SettingsStore::Read(settings::kAwayMinutes), stored);
        bool shownTicked = !ask;
        int shownMinutes = 0;
        ShowOptions([&](QDialog* dialog) {
            shownTicked = dialog->findChild<QCheckBox*>("awayCheck")->isChecked();
            shownMinutes = dialog->findChild<QSpinBox*>("awayMinutesSpin")->value();
            dialog->reject();
        });
        EXPECT_EQ(shownTicked, ask);
        EXPECT_EQ(shownMinutes, ask ? minutes : 10) << "off keeps the default for the next tick";
    }
}

// Off at first; ticked, the desktop's autostart entry starts this program; unticked, it goes.
TEST_F(OptionsTest, StartAtLoginWritesAndRemovesTheAutostartEntry)
{
    const std::string entry = home_.Path() + "/config/autostart/ambrin.desktop";
    const std::string exec =
        "\nExec=\"" + QCoreApplication::applicationFilePath().toStdString() + "\"\n";
    for (const bool on : {true, false}) {
        ShowOptions([on](QDialog* dialog) {
            auto* box = dialog->findChild<QCheckBox*>("startAtLoginCheck");
            EXPECT_EQ(box->isChecked(), !on) << "shown as the entry is";
            box->setChecked(on);
            dialog->accept();
        });
        EXPECT_EQ(std::filesystem::exists(entry), on);
        EXPECT_EQ(test::FileBytes(entry).find(exec) != std::string::npos, on) << exec;
    }
}

TEST_F(OptionsTest, ProjectListEditorReplacesTheListAndTheStripPutsBackWhatItNeeds)
{
    auto* combo = strip_->findChild<QComboBox*>("projectCombo");
    combo->setEditText("Accounts");
    SettingsStore::Write(settings::kPopNote, false);
    strip_->ChangeProject();

    ShowOptions([](QDialog* options) {
        OnNextDialog([](QDialog* editor) {
            auto* edit = editor->findChild<QPlainTextEdit*>("projectListEdit");
            EXPECT_EQ(edit->toPlainText(), "\n<idle>\nAccounts\n") << "in list order, not sorted";
            edit->setPlainText("Zeta\n\n  \x01\nzeta\nBeta");
            editor->accept();
        });
        QTest::mouseClick(options->findChild<QPushButton*>("projectListButton"), Qt::LeftButton);
        options->reject();  // the editor's change stays
    });
    EXPECT_EQ(test::FileBytes(app_.Locations().ProjectListPath()),
              "Zeta\r\n\r\nBeta\r\nAccounts\r\n<idle>\r\n")
        << "blank and control lines skipped, a line of spaces is the one empty name, other case "
           "is a duplicate; the running project and <idle> come back at the end";
    EXPECT_EQ(combo->currentText(), "Accounts");
}

TEST_F(OptionsTest, EditLogChangesSurviveLeavingTheOptionsWithEscape)
{
    auto* combo = strip_->findChild<QComboBox*>("projectCombo");
    SettingsStore::Write(settings::kPopNote, false);
    combo->setEditText("Accounts");
    strip_->ChangeProject();

    ShowOptions([](QDialog* options) {
        OnNextDialog([](QDialog* editLog) {
            QTest::mouseClick(editLog->findChild<QPushButton*>("deleteAllButton"), Qt::LeftButton);
            editLog->accept();
        });
        QTest::mouseClick(options->findChild<QPushButton*>("currentLogButton"), Qt::LeftButton);
        QTest::keyClick(options, Qt::Key_Escape);
    });
    EXPECT_EQ(test::FileBytes(app_.Locations().CurrentLogPath()), "");
    ASSERT_EQ(app_.Log().Count(), 1u) << "the refresh opens a new blank record";
    EXPECT_EQ(app_.Log().At(0).project, "");
    EXPECT_EQ(combo->currentText(), "<idle>");
}

TEST_F(OptionsTest, OptionsGovernTheirBehaviourAtTheNextUse)
{
    // Pop-up off, rounding, totals and ending on quit on, all through the dialog.
    ShowOptions([](QDialog* dialog) {
        dialog->findChild<QCheckBox*>("popNoteCheck")->setChecked(false);
        for (const char* name : {"endProjCheck", "roundTimesCheck", "includeTotalsCheck"}) {
            dialog->findChild<QCheckBox*>(name)->setChecked(true);
        }
        dialog->accept();
    });
    auto* combo = strip_->findChild<QComboBox*>("projectCombo");
    combo->setEditText("Accounts");
    strip_->ChangeProject();  // no notes editor: it would wait for the deadline and fail below
    EXPECT_EQ(app_.Log().At(0).start, MakeTime(2005, 3, 7, 9, 0)) << "09:05 rounds to 09:00";
    clock_.Set(MakeTime(2005, 3, 7, 9, 48, 20));
    strip_.reset();
    EXPECT_EQ(test::FileBytes(app_.Locations().CurrentLogPath()),
              "\"3-7-2005 9:00\",\"3-7-2005 9:48\",\"0:48\",\"Accounts\",\"\"\r\n");
}

// Help opens Ambrin.hlp when it is there, else the guide installed with Ambrin; the message
// above comes only when neither is. A stand-in xdg-open notes what it was asked to open.
TEST_F(OptionsTest, HelpOpensTheHelpFileElseTheGuide)
{
    const std::string bin = home_.Path() + "/bin", opened = home_.Path() + "/opened", guide = home_.Path() + "/guide.html";
    std::filesystem::create_directories(bin);
    test::WriteBytes(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened + "'\n");
    std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH");
    test::SetEnvironment("PATH", bin + ":" + path);
    test::SetEnvironment("AMBRIN_GUIDE", guide);
    test::WriteBytes(guide, "<html></html>");
    const std::string help = home_.Path() + "/Ambrin/Ambrin.hlp";
    for (const std::string& expected : {guide, help}) {
        if (expected == help) test::WriteBytes(help, "help");
        QTest::keyClick(strip_.get(), Qt::Key_F1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return test::FileBytes(opened).find(expected + "\n") != std::string::npos; }, 5000))
            << expected << " in " << test::FileBytes(opened);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message when something opened";
    }
    test::SetEnvironment("PATH", path);
    test::SetEnvironment("AMBRIN_GUIDE", "/nonexistent/guide.html");
}

}  // namespace
}  // namespace ambrin
