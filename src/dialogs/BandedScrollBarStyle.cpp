#include "dialogs/BandedScrollBarStyle.h"

#include <QPainter>
#include <QStyleOptionComplex>

#include <algorithm>

namespace ambrin {

bool BandedScrollBarStyle::PaintsWholeAndOpaque(const QStyleOptionComplex& option, const QPainter& painter,
                                                const QWidget* widget) const
{
    // Fusion fills the whole bar with its groove, in the palette's button colour.
    return baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 &&
           (option.subControls & SC_ScrollBarGroove) && option.palette.button().isOpaque() &&
           !styleHint(SH_ScrollBar_Transient, &option, widget) && painter.device() &&
           painter.device()->devicePixelRatio() == 1.0 && painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           painter.worldTransform().type() <= QTransform::TxTranslate;
}

void BandedScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                              QPainter* painter, const QWidget* widget) const
{
    if (control != CC_ScrollBar || !option || !painter || (option->state & State_Horizontal) ||
        option->rect.height() <= kBandLines || !PaintsWholeAndOpaque(*option, *painter, widget)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect area = option->rect;
    if (band_.size() != QSize(area.width(), kBandLines)) {
        band_ = QImage(area.width(), kBandLines, QImage::Format_ARGB32_Premultiplied);
    }
    for (int top = area.top(); top <= area.bottom(); top += kBandLines) {
        band_.fill(Qt::transparent);
        QPainter bandPainter(&band_);
        bandPainter.setRenderHints(painter->renderHints());
        bandPainter.translate(-area.left(), -top);
        QProxyStyle::drawComplexControl(control, option, &bandPainter, widget);
        bandPainter.end();
        const int lines = std::min(kBandLines, area.bottom() + 1 - top);
        painter->drawImage(QPoint(area.left(), top), band_, QRect(0, 0, area.width(), lines));
    }
}

}  // namespace ambrin
