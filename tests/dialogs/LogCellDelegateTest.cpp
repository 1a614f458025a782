#include "dialogs/LogCellDelegate.h"

#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace ambrin {
namespace {

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
