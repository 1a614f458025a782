#include "dialogs/LogCellDelegate.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QStyle>

namespace ambrin {

namespace {

// What the fast path paints exactly as the style would: a plain, unfocused, single-line,
// left-to-right, left-aligned text with no check box and no icon.
bool Plain(const QStyleOptionViewItem& option, const QString& text)
{
    constexpr auto kExtras = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration |
                             QStyleOptionViewItem::WrapText;
    return !(option.features & kExtras) && !(option.state & (QStyle::State_HasFocus | QStyle::State_Editing)) &&
           option.direction == Qt::LeftToRight &&
           (option.displayAlignment & Qt::AlignHorizontal_Mask) == Qt::AlignLeft &&
           !text.contains(QChar::LineSeparator) && !text.contains(QLatin1Char('\n'));
}

QPalette::ColorGroup Group(const QStyleOptionViewItem& option)
{
    if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

// The texts laid out so far, in one font. Painting happens on the window thread only.
struct LaidTexts {
    QHash<QString, QStaticText> texts;
    QFont font;
};

LaidTexts*& Store()
{
    static LaidTexts* store = nullptr;
    return store;
}

// Laid-out texts hold the application's font engines: they go before the application
// clears its fonts, which a static's end at exit would come after.
void DropStore()
{
    delete Store();
    Store() = nullptr;
}

}  // namespace

const QStaticText& LogCellDelegate::Laid(const QString& text, const QFont& font)
{
    LaidTexts*& store = Store();
    if (!store) {
        store = new LaidTexts;
        qAddPostRoutine(DropStore);
    }
    if (font != store->font || store->texts.size() >= kKeptTexts) {
        store->texts.clear();
        store->font = font;
    }
    auto kept = store->texts.find(text);
    if (kept == store->texts.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        QTextOption option(Qt::AlignLeft);
        option.setTextDirection(Qt::LeftToRight);  // as the style lays out: mixed texts read alike
        option.setWrapMode(QTextOption::ManualWrap);
        laid.setTextOption(option);
        laid.prepare(QTransform(), font);
        kept = store->texts.insert(text, laid);
    }
    return *kept;
}

void LogCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The log's model gives a cell its text and nothing else (no font, colour, alignment,
    // check box or icon of its own): the view's option is the cell's but for the text, and
    // filling in a copy of it for every cell cost a fifth of the painting.
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!Plain(option, text)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText* laid = text.isEmpty() ? nullptr : &Laid(text, option.font);
    if (laid && laid->size().width() > textRect.width()) {
        QStyledItemDelegate::paint(painter, option, index);  // elided by the style
        return;
    }

    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        // A selected cell's highlight may follow its text's extent.
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
    } else {
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, widget);
    }
    if (laid) {
        const QSize size(textRect.width(), static_cast<int>(laid->size().height()));
        const QRect line = QStyle::alignedRect(option.direction, option.displayAlignment & Qt::AlignVertical_Mask,
                                               size, textRect);
        painter->setPen(option.palette.color(Group(option), selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        painter->drawStaticText(QPointF(textRect.x(), line.top()), *laid);
    }
    painter->restore();
}

}  // namespace ambrin
