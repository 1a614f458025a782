// The Summary window: its figures follow the strip's switches, its ranges and grouping, and
// what Copy and Export give a spreadsheet.
#include "core/SummaryText.h"
#include "core/TimeSummary.h"
#include "dialogs/SummaryChart.h"
#include "dialogs/SummaryDialog.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "storage/SettingsStore.h"
#include "support/StripDriver.h"
#include "support/SystemCallFaults.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

namespace ambrin {
namespace {

using test::MakeTime;
using test::OnNextDialog;

const ClockTime kWednesday = MakeTime(2026, 12, 9, 10, 0);

// The table as text, a row per line, cells between bars; the header first.
std::string TableText(const SummaryDialog& dialog)
{
    const auto* table = dialog.findChild<QTableWidget*>("summaryTable");
    std::string text;
    for (int c = 0; c < table->columnCount(); ++c) {
        text += (c ? "|" : "") + table->horizontalHeaderItem(c)->text().replace('\n', ' ').toStdString();
    }
    for (int r = 0; r < table->rowCount(); ++r) {
        text += "\n";
        for (int c = 0; c < table->columnCount(); ++c) text += (c ? "|" : "") + table->item(r, c)->text().toStdString();
    }
    return text;
}

void Choose(SummaryDialog& dialog, const char* comboName, const QString& item)
{
    auto* combo = dialog.findChild<QComboBox*>(comboName);
    const int index = combo->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

TEST(Summary, FollowsTheStripsSwitchesAndTheRunningRecord)
{
    test::FakeClock clock(kWednesday);
    test::TempHome home;
    SettingsStore::Write(settings::kPopNote, false);
    test::Strip strip;
    strip.app.Log().Append("Accounts", "", MakeTime(2026, 12, 7, 9, 0), MakeTime(2026, 12, 7, 11, 30));
    strip.app.Log().Append("Planning", "", MakeTime(2026, 12, 8, 14, 0), MakeTime(2026, 12, 8, 15, 15));
    strip.Type("Website redesign");
    clock.AdvanceSeconds(45 * 60);
    strip.window->ShowSummary();
    auto* dialog = strip.window->findChild<SummaryDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal()) << "the strip goes on being used";
    const std::string header = "Project|Mon 2026-12-07|Tue 2026-12-08|Wed 2026-12-09|Thu 2026-12-10|Fri 2026-12-11|"
                               "Sat 2026-12-12|Sun 2026-12-13|Total";
    EXPECT_EQ(TableText(*dialog), header + "\nAccounts|2:30|||||||2:30\nPlanning||1:15||||||1:15\n"
                                           "Website redesign|||0:45|||||0:45\nTotal|2:30|1:15|0:45|||||4:30");

    // A switch while it is open: the running record ends, the next one starts.
    clock.AdvanceSeconds(15 * 60);
    strip.window->Tick();
    strip.Type("Accounts");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->Summary().total == (4 * 60 + 45) * 60; }));
    clock.AdvanceSeconds(30 * 60);
    dialog->Refresh();  // as its timer does: the running record grows
    EXPECT_EQ(TableText(*dialog), header + "\nAccounts|2:30||0:30|||||3:00\nPlanning||1:15||||||1:15\n"
                                           "Website redesign|||1:00|||||1:00\nTotal|2:30|1:15|1:30|||||5:15");

    strip.window->ShowSummary();
    EXPECT_EQ(strip.window->findChildren<SummaryDialog*>().size(), 1) << "one window, brought forward";
}

// Each named range from a Wednesday, with the grouping that reads best for it.
TEST(Summary, RangesGroupingAndDatesOfOnesOwn)
{
    test::FakeClock clock(kWednesday);
    TimeLog log;
    SummaryDialog dialog(log, nullptr);
    const std::tuple<const char*, const char*, const char*, SummaryGrouping, std::size_t> ranges[] = {
        {"This week", "2026-12-07", "2026-12-13", SummaryGrouping::Day, 7},
        {"Last week", "2026-11-30", "2026-12-06", SummaryGrouping::Day, 7},
        {"This month", "2026-12-01", "2026-12-31", SummaryGrouping::Week, 5},
        {"Last month", "2026-11-01", "2026-11-30", SummaryGrouping::Week, 6},
        {"This year", "2026-01-01", "2026-12-31", SummaryGrouping::Month, 12},
    };
    for (const auto& [range, from, to, by, periods] : ranges) {
        Choose(dialog, "rangeCombo", QString::fromLatin1(range));
        const TimeSummary& s = dialog.Summary();
        EXPECT_EQ(FormatIsoDate(s.from) + " " + FormatIsoDate(s.to), std::string(from) + " " + to) << range;
        EXPECT_EQ(s.by, by) << range;
        EXPECT_EQ(s.periods.size(), periods) << range;
    }
    Choose(dialog, "groupingCombo", "Day");
    EXPECT_EQ(dialog.Summary().periods.size(), 365u);

    // A start moved past the end takes the end with it; the range is then the dates chosen.
    auto* from = dialog.findChild<QDateEdit*>("fromDate");
    from->setDate(QDate(2027, 2, 3));
    EXPECT_EQ(dialog.findChild<QDateEdit*>("toDate")->date(), QDate(2027, 2, 3));
    EXPECT_EQ(dialog.findChild<QComboBox*>("rangeCombo")->currentText(), "Chosen dates");
    EXPECT_EQ(FormatIsoDate(dialog.Summary().from), "2027-02-03");
    EXPECT_EQ(dialog.Summary().periods.size(), 1u);
}

TEST(Summary, ShowsSkippedRecordsAndStacksTheRestAsOther)
{
    test::FakeClock clock(kWednesday);
    TimeLog log;
    for (int i = 0; i < 10; ++i) {
        log.Append("Project " + std::to_string(i), "", MakeTime(2026, 12, 7, 8 + i, 0), MakeTime(2026, 12, 7, 8 + i, 10 + i));
    }
    log.Append("Backwards", "", MakeTime(2026, 12, 8, 12, 0), MakeTime(2026, 12, 8, 11, 0));
    SummaryDialog dialog(log, nullptr);
    dialog.show();
    auto* skipped = dialog.findChild<QLabel*>("skippedLabel");
    EXPECT_TRUE(skipped->isVisible());
    EXPECT_EQ(skipped->text(), "1 record skipped: it ends before it starts.");
    const auto& stacks = dialog.findChild<SummaryChart*>()->Stacks();
    ASSERT_EQ(stacks.size(), SummaryChart::kOwnColours + 1u);
    EXPECT_EQ(stacks.front().name, "Project 9") << "the most time first";
    EXPECT_EQ(stacks.back().name, "Other");
    EXPECT_EQ(stacks.back().seconds[0], (10 + 11 + 12) * 60) << "the three smallest together";

    log.Clear();
    dialog.Refresh();
    EXPECT_FALSE(skipped->isVisible());
}

TEST(Summary, CopyAndExportGiveWhatASpreadsheetReads)
{
    test::FakeClock clock(kWednesday);
    test::TempHome home;
    TimeLog log;
    log.Append("Accounts", "", MakeTime(2026, 12, 7, 9, 0), MakeTime(2026, 12, 7, 11, 30));
    log.Append("Planning", "", MakeTime(2026, 12, 8, 14, 0), MakeTime(2026, 12, 8, 15, 15));
    SummaryDialog dialog(log, nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    const TimeSummary expected = Summarize(log, {2026, 12, 7}, {2026, 12, 13}, SummaryGrouping::Day, kWednesday, SystemUtcOffset);

    test::Press(Qt::Key_C, Qt::AltModifier);  // a mnemonic clicks after a short press
    EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::clipboard()->text().isEmpty(); }));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), SummaryAsTabs(expected));
    QApplication::clipboard()->clear();
    auto* table = dialog.findChild<QTableWidget*>("summaryTable");
    table->setFocus();
    table->setCurrentCell(1, 2);
    test::Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), SummaryAsTabs(expected)) << "Ctrl+C copies it whole";

    const std::string path = home.Path() + "/week.csv";
    OnNextDialog([path](QDialog* chooser) {
        EXPECT_TRUE(static_cast<QFileDialog*>(chooser)->selectedFiles().value(0).endsWith("summary 2026-12-07 to 2026-12-13.csv"));
        test::TypeFileName(chooser, path);
        chooser->accept();
    }, "exportDialog");
    dialog.Export();
    const std::string week = "\"2026-12-07\",\"Accounts\",\"2.50\",\"9000\"\r\n\"2026-12-08\",\"Planning\",\"1.25\",\"4500\"\r\n";
    EXPECT_EQ(test::FileBytes(path), week);

    // Over the same file on a failing disk: asked first, the failure said, the file as it was.
    QString told;
    OnNextDialog([path, &told](QDialog* chooser) {
        test::TypeFileName(chooser, path);
        test::OnNextMessage([&told](QMessageBox* replace) {
            test::OnNextMessage([&told](QMessageBox* box) {
                told = box->text();
                box->reject();
            });
            replace->button(QMessageBox::Yes)->click();
        });
        chooser->accept();  // asks whether to replace the file, and waits
    }, "exportDialog");
    log.Append("Accounts", "", MakeTime(2026, 12, 9, 9, 0), MakeTime(2026, 12, 9, 9, 30));
    dialog.Refresh();
    {
        const test::InjectedFault failing(test::SystemCall::Sync);  // the event loop's own writes go on
        dialog.Export();
    }
    EXPECT_EQ(test::FileBytes(path), week);
    EXPECT_TRUE(told.startsWith("Could not save")) << told.toStdString();
}

}  // namespace
}  // namespace ambrin
