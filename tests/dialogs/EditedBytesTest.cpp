// A text the user did not change keeps its bytes, whatever the box makes of them: a non-breaking
// space, a lone CR, U+2028, a byte the locale cannot show.
#include "app/App.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/NotesDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <QAbstractItemView>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace ambrin {
namespace {

using test::MakeTime;

const std::string kTexts[] = {
    "non\xC2\xA0" "breaking",   // U+00A0 in UTF-8: a box hands it back as a space
    "lone\rCR",                 // a box makes a line break of it
    "line\xE2\x80\xA8" "sep",   // U+2028: a line end to a box
    "Caf\xE9",                  // Windows-1252: no character in a UTF-8 session
    "lone\nLF",
};

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

TEST(EditedBytes, AnEditLogCommitOfOtherFieldsKeepsTheTexts)
{
    test::TempHome home;
    test::FakeClock clock(MakeTime(2005, 3, 9, 12, 0));
    App app;
    for (const std::string& text : kTexts) {
        app.Log().Append(text, text, MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    }
    EditLogDialog dialog(app.Log(), app.Locations());
    dialog.show();
    for (std::uint32_t row = 0; row < app.Log().Count(); ++row) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Settled(); }));
        dialog.findChild<QTimeEdit*>("endTime")->setTime(QTime(11, 0));  // a new end, nothing else
        if (row + 1 < app.Log().Count()) {
            auto* list = dialog.findChild<QAbstractItemView*>("logList");
            list->selectionModel()->setCurrentIndex(list->model()->index(static_cast<int>(row + 1), 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }
    dialog.accept();
    for (std::uint32_t i = 0; i < app.Log().Count(); ++i) {
        EXPECT_EQ(app.Log().View(i).project, kTexts[i]);
        EXPECT_EQ(app.Log().View(i).notes, kTexts[i]);
        EXPECT_EQ(app.Log().View(i).end, MakeTime(2005, 3, 7, 11, 0)) << "the end was committed";
    }
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

}  // namespace
}  // namespace ambrin
