#include "dialogs/EditLogDialog.h"

#include "app/App.h"
#include "dialogs/LogCellDelegate.h"
#include "dialogs/NotesDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/LogGenerator.h"
#include "support/SystemCallFaults.h"
#include "support/TempHome.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include <filesystem>
#include <functional>
#include <optional>

namespace ambrin {
namespace {

using test::MakeTime;

class EditLogTest : public ::testing::Test {
protected:
    void TearDown() override { EditLogDialog::SetFileChooser({}); }

    // Opens the dialog as a user sees it: shown, with the first-row and load timers run.
    void Open()
    {
        dialog_ = std::make_unique<EditLogDialog>(app_.Log(), app_.Locations());
        dialog_->show();
        Settle();
    }
    QString Cell(int row, int column)
    {
        const QAbstractItemModel* model = List()->model();
        return model->data(model->index(row, column)).toString();
    }
    QTableView* List() { return dialog_->findChild<QTableView*>("logList"); }
    QLineEdit* Project() { return dialog_->findChild<QLineEdit*>("projectEdit"); }
    QPlainTextEdit* Notes() { return dialog_->findChild<QPlainTextEdit*>("notesEdit"); }
    void Click(const char* button) { QTest::mouseClick(dialog_->findChild<QPushButton*>(button), Qt::LeftButton); }
    void SelectRow(int row)
    {
        List()->selectionModel()->setCurrentIndex(List()->model()->index(row, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Settle();
    }
    // Lets the dialog's timers run out, however slow the machine (valgrind).
    void Settle() { ASSERT_TRUE(QTest::qWaitFor([this] { return dialog_->Settled(); }, 10'000)); }
    std::string WorkingProjects() { return test::ProjectsOf(dialog_->WorkingLog()); }

    test::TempHome home_;
    test::FakeClock clock_{MakeTime(2005, 3, 9, 12, 0, 0)};
    App app_;
    std::unique_ptr<EditLogDialog> dialog_;
};

TEST_F(EditLogTest, ListsTheLogSortedWithDatesWhereTheDayChanges)
{
    //  E  (no start) .................. 3/9 08:00
    //  A  3/7 09:00 -- 10:30
    //  B  3/7 10:30 ----------------- 3/8 01:00
    //  C  3/8 09:00 -- (in progress)
    //  D  3/8 11:00, ended 10:30 (before its start)
    TimeLog& log = app_.Log();
    log.Append("D", "", MakeTime(2005, 3, 8, 11, 0), MakeTime(2005, 3, 8, 10, 30));
    log.Append("B", "", MakeTime(2005, 3, 7, 10, 30), MakeTime(2005, 3, 8, 1, 0));
    log.Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 30));
    log.Append("C", "", MakeTime(2005, 3, 8, 9, 0), ClockTime());
    log.Append("E", "", ClockTime(), MakeTime(2005, 3, 9, 8, 0));
    Open();

    const QStringList expected[] = {
        {"", "Wed Mar 9, 8:00 am", "E", ""},
        {"Mon Mar 7, 9:00 am", "         10:30 am", "A", "1.50"},
        {"         10:30 am", "Tue Mar 8, 1:00 am", "B", "14.50"},
        {"         9:00 am", "(in progress)", "C", ""},
        {"Tue Mar 8, 11:00 am", "         10:30 am", "D", "-0.50"},
    };
    ASSERT_EQ(List()->model()->rowCount(), 5);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(Cell(row, column), expected[row][column]) << "row " << row << " column " << column;
        }
    }
    EXPECT_EQ(dialog_->SelectionMark(), 0);
    EXPECT_EQ(Project()->text(), "E") << "the first row is selected and loaded";

    dialog_->reject();
    EXPECT_EQ(app_.Log().At(0).project, "D") << "Cancel leaves the order as it was";
    Open();
    dialog_->accept();
    EXPECT_EQ(app_.Log().At(0).project, "E") << "OK stores the sorted order";
}

// A commit shows in its row and the next, which shows its date by where the record before it
// ends.
TEST_F(EditLogTest, EditsGoToTheRecordTheyWereMadeIn)
{
    app_.Log().Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    app_.Log().Append("B", "", MakeTime(2005, 3, 7, 10, 0), MakeTime(2005, 3, 7, 11, 0));
    Open();
    Project()->setText("A2");
    Notes()->setPlainText("line1\nline2");
    dialog_->findChild<QDateEdit*>("endDate")->setDate(QDate(2005, 3, 8));
    dialog_->findChild<QTimeEdit*>("endTime")->setTime(QTime(1, 0));
    SelectRow(1);
    EXPECT_EQ(WorkingProjects(), "A2;B;");
    EXPECT_EQ(dialog_->WorkingLog().At(0).notes, "line1\r\nline2");
    EXPECT_EQ(Project()->text(), "B") << "the new row is loaded after the commit";
    EXPECT_EQ(Cell(0, 1), "Tue Mar 8, 1:00 am");
    EXPECT_EQ(Cell(1, 0), "Mon Mar 7, 10:00 am");

    // An empty project blocks the whole commit; typing a name again commits everything.
    Project()->setText("");
    dialog_->findChild<QCheckBox*>("endCheck")->setChecked(false);
    SelectRow(0);
    EXPECT_EQ(WorkingProjects(), "A2;B;");
    EXPECT_FALSE(dialog_->WorkingLog().At(1).end.IsEmpty());

    SelectRow(1);
    Project()->setText("B2");
    dialog_->findChild<QCheckBox*>("endCheck")->setChecked(false);
    QTest::keyClick(Project(), Qt::Key_Return);  // Enter means OK, committing first
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(app_.Log().At(1).project, "B2");
    EXPECT_TRUE(app_.Log().At(1).end.IsEmpty()) << "no end: in progress";
}

// Times to the second; a right click keeps edits not yet committed (only the left button
// reloads the selected row); a record with no end has neither end time nor end date to set.
TEST_F(EditLogTest, SecondsRightClicksAndNoEnd)
{
    app_.Log().Append("A", "", MakeTime(2005, 3, 7, 9, 0, 15), MakeTime(2005, 3, 7, 10, 0, 45));
    app_.Log().Append("B", "", MakeTime(2005, 3, 7, 10, 0, 45), ClockTime());
    Open();
    auto* endTime = dialog_->findChild<QTimeEdit*>("endTime");
    EXPECT_TRUE(endTime->displayFormat().contains(QStringLiteral("ss"))) << endTime->displayFormat().toStdString();
    endTime->setTime(QTime(10, 0, 50));
    Notes()->setPlainText(QStringLiteral("typed"));
    const QPoint row0 = List()->visualRect(List()->model()->index(0, 2)).center();
    QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, row0);
    Settle();
    EXPECT_EQ(Notes()->toPlainText(), "typed") << "a right click reloads nothing";
    SelectRow(1);
    EXPECT_EQ(dialog_->WorkingLog().View(0).end, MakeTime(2005, 3, 7, 10, 0, 50));
    EXPECT_EQ(dialog_->WorkingLog().View(0).notes, "typed");
    EXPECT_FALSE(endTime->isEnabled());
    EXPECT_FALSE(dialog_->findChild<QDateEdit*>("endDate")->isEnabled()) << "no end, no end date";
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualRect(List()->model()->index(1, 2)).center());
    Notes()->setPlainText(QStringLiteral("dropped"));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualRect(List()->model()->index(1, 2)).center());
    Settle();
    EXPECT_EQ(Notes()->toPlainText(), "") << "a left click on the selected row reloads it";
}

TEST_F(EditLogTest, NewInsertsBeforeTheMarkOrAppends)
{
    Open();
    EXPECT_EQ(dialog_->SelectionMark(), -1);
    Click("newButton");
    Settle();
    ASSERT_EQ(dialog_->WorkingLog().Count(), 1u);
    EXPECT_EQ(Cell(0, 3), "0.00") << "a new record ends where it starts";
    Project()->setText("First");
    Click("newButton");
    Settle();
    EXPECT_EQ(WorkingProjects(), ";First;") << "committed, then inserted before the marked row";
    EXPECT_EQ(dialog_->SelectionMark(), 0);
}

TEST_F(EditLogTest, DeleteAndDeleteAllAskNothing)
{
    for (const char* name : {"A", "B", "C"}) {
        app_.Log().Append(name, "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    }
    Open();
    SelectRow(1);
    Click("deleteButton");
    EXPECT_EQ(WorkingProjects(), "A;C;");
    EXPECT_EQ(Project()->text(), "C") << "the details follow the mark as it now stands";

    Click("deleteAllButton");
    EXPECT_EQ(dialog_->WorkingLog().Count(), 0u);
    Project()->setText("edited");
    Click("okButton");
    EXPECT_EQ(app_.Log().Count(), 0u) << "nothing to commit into";
}

TEST_F(EditLogTest, SaveAndLoadWithTheirMessages)
{
    app_.Log().Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 42));
    SettingsStore::Write(settings::kIncludeTotals, true);
    const std::string saved = home_.Path() + "/saved.csv";
    std::string chosen = saved;
    EditLogDialog::SetFileChooser(
        [&chosen](QWidget*, bool, const QString&) { return QString::fromStdString(chosen); });
    Open();

    Click("saveButton");
    EXPECT_EQ(test::FileBytes(saved), "\"3-7-2005 9:00\",\"3-7-2005 10:42\",\"1:42\",\"A\",\"\"\r\n");

    // Each failure is said; the chosen file and the records stay as they were.
    struct Failure {
        const char* button;
        std::string path;
        std::optional<test::SystemCall> fault;
        QString message;
    };
    const QString unopened = "Unable to open timelog file for loading";
    const Failure failures[] = {
        {"saveButton", home_.Path() + "/no/such/folder/x.csv", {},
         "Unable to create timelog file to save to"},
        // a full disk
        {"saveButton", saved, test::SystemCall::Write, "Error writing timelog file"},
        {"loadButton", home_.Path() + "/missing.csv", {}, unopened},
        {"loadButton", home_.Path() + "/folder.csv", {}, unopened},
    };
    test::WriteBytes(saved, "an earlier save");
    std::filesystem::create_directory(home_.Path() + "/folder.csv");
    for (const Failure& failure : failures) {
        chosen = failure.path;
        std::optional<test::InjectedFault> injected;
        if (failure.fault) injected.emplace(*failure.fault, ENOSPC);
        QString shown;
        test::ReadNextMessage(shown);
        Click(failure.button);
        injected.reset();
        EXPECT_EQ(shown, failure.message) << failure.path;
        EXPECT_EQ(test::FileBytes(saved), "an earlier save") << failure.path;
        EXPECT_EQ(WorkingProjects(), "A;") << failure.path;
    }

    test::WriteBytes(home_.Path() + "/other.csv", "\"3-7-2005 12:00\",\"\",\"Z\",\"\"\r\n\"3-7-2005 8:00\",\"\",\"Y\",\"\"\r\n");
    chosen = home_.Path() + "/other.csv";
    Click("loadButton");
    EXPECT_EQ(WorkingProjects(), "Z;Y;") << "in file order, not sorted";
    dialog_->reject();
    EXPECT_EQ(app_.Log().At(0).project, "A") << "Cancel drops the loaded records";
    EXPECT_EQ(test::FileBytes(saved), "an earlier save") << "and keeps the saved file";

    Open();
    Click("loadButton");
    dialog_->accept();
    EXPECT_EQ(app_.Log().At(0).project, "Z");
    EXPECT_EQ(app_.Log().At(1).project, "Y") << "OK keeps the file order";
}

// A text the user did not change keeps its bytes, whatever a box makes of them: a non-breaking
// space, a lone CR, U+2028, a byte the locale cannot show.
const std::string kTexts[] = {
    "non\xC2\xA0" "breaking",   // U+00A0 in UTF-8: a box hands it back as a space
    "lone\rCR",                 // a box makes a line break of it
    "line\xE2\x80\xA8" "sep",   // U+2028: a line end to a box
    "Caf\xE9",                  // Windows-1252: no character in a UTF-8 session
    "lone\nLF",
};

TEST_F(EditLogTest, UntouchedTextsKeepTheirBytes)
{
    for (const std::string& text : kTexts) {
        app_.Log().Append(text, text, MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    }
    Open();
    for (int row = 0; row < static_cast<int>(std::size(kTexts)); ++row) {
        dialog_->findChild<QTimeEdit*>("endTime")->setTime(QTime(11, 0));  // a new end, nothing else
        if (row + 1 < static_cast<int>(std::size(kTexts))) SelectRow(row + 1);
    }
    Click("okButton");
    for (std::uint32_t i = 0; i < app_.Log().Count(); ++i) {
        EXPECT_EQ(app_.Log().View(i), (TimeRecord{kTexts[i], kTexts[i], MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 11, 0)}));
    }
}

TEST(EditedBytes, NotesLeftAsTheyWereKeepTheirBytes)
{
    for (const std::string& text : kTexts) {
        NotesDialog dialog(text);
        EXPECT_EQ(dialog.Notes(), text) << text;
    }
    NotesDialog typed("");
    QTest::keyClicks(typed.findChild<QPlainTextEdit*>("notesEdit"), QString::fromUtf8("a\xC2\xA0" "b"));
    EXPECT_EQ(typed.Notes(), "a\xC2\xA0" "b") << "a non-breaking space the user types stays one";
}

TEST(EditedBytes, ProjectListLinesLeftAsTheyWereKeepTheirBytes)
{
    std::string text;
    for (const std::string& name : kTexts) {
        if (name.find('\n') == std::string::npos) text += name + "\r\n";  // a name holds no LF
    }
    ProjectListDialog unchanged(text);
    EXPECT_EQ(unchanged.Text(), text);

    // One line changed, one added, one moved: the other lines keep their bytes.
    ProjectListDialog edited(text);
    auto* box = edited.findChild<QPlainTextEdit*>("projectListEdit");
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("Added"));
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral("!"));
    EXPECT_EQ(edited.Text(), "non\xC2\xA0" "breaking!\r\nlone\rCR\r\nline\xE2\x80\xA8" "sep\r\nCaf\xE9\r\nAdded\r\n");
}

// The kept layouts must paint what the style paints, pixel for pixel, in every state a
// cell of the list can be in; cells it cannot match go to the style.
QImage Paint(QTableView& view, QAbstractItemDelegate* delegate)
{
    view.setItemDelegate(delegate);
    return view.viewport()->grab().toImage();
}

struct PaintCase {
    const char* name;
    std::function<void(QTableView&)> setUp;
};

TEST(LogCellDelegateTest, PaintsWhatTheStylePaints)
{
    const QStringList texts = {
        QStringLiteral("09:15:00"),
        QStringLiteral("2005-03-07 09:00"),
        QStringLiteral("(in progress)"),
        QString(),
        QStringLiteral("A project name far too long for its column, so the style elides it"),
        QStringLiteral("\u00dcbersicht \u00f1 caf\u00e9"),
        QStringLiteral("\u0645\u0634\u0631\u0648\u0639 mixed"),
        QStringLiteral("tab\there"),
        QStringLiteral("   spaces   "),
    };
    const PaintCase cases[] = {
        {"plain", [](QTableView&) {}},
        {"a selected row in a focused view",
         [](QTableView& view) {
             view.setFocus();
             view.selectRow(2);
         }},
        {"a selected row in an unfocused view", [](QTableView& view) { view.selectRow(5); }},
        {"a disabled view",
         [](QTableView& view) {
             view.selectRow(1);
             view.setEnabled(false);
         }},
        {"narrow columns", [](QTableView& view) { view.horizontalHeader()->setDefaultSectionSize(40); }},
        {"a larger bold font",
         [](QTableView& view) {
             QFont font = view.font();
             font.setBold(true);
             font.setPointSize(font.pointSize() + 5);
             view.setFont(font);
         }},
        {"tall rows", [](QTableView& view) { view.verticalHeader()->setDefaultSectionSize(60); }},
    };
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(c.name);
        QStandardItemModel model(static_cast<int>(texts.size()), 3);
        for (int row = 0; row < texts.size(); ++row) {
            for (int column = 0; column < 3; ++column) {
                model.setItem(row, column, new QStandardItem(texts[(row + column) % texts.size()]));
            }
        }
        QTableView view;
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setWordWrap(false);
        view.horizontalHeader()->setDefaultSectionSize(150);
        view.resize(520, 400);
        c.setUp(view);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

        QStyledItemDelegate style;
        LogCellDelegate kept;
        const QImage expected = Paint(view, &style);
        EXPECT_EQ(Paint(view, &kept), expected);
        EXPECT_EQ(Paint(view, &kept), expected) << "painted again from the kept layouts";
        view.setItemDelegate(nullptr);
    }
}

}  // namespace
}  // namespace ambrin
