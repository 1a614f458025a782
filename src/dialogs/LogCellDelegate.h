#pragma once

#include <QStaticText>
#include <QStyledItemDelegate>

namespace ambrin {

// Paints the Edit Log's cells as the style paints plain text items, from laid-out glyphs
// kept for the rest of the run. Scrolling a long log repaints whole pages of cells, most of
// their texts (times, dates, project names, hours) recur, and so do the pages a user opens
// the dialog on; laying a text out again cost more than everything else in a cell. Cells
// the fast path cannot match exactly (the focused cell, a text that must be elided, a view
// laid out right to left) go to the style as they are.
class LogCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Texts kept at most; past it the store starts again (a page holds about a hundred).
    static constexpr int kKeptTexts = 2048;

private:
    static const QStaticText& Laid(const QString& text, const QFont& font);
};

}  // namespace ambrin
