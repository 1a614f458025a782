#pragma once

#include <QImage>
#include <QProxyStyle>

namespace ambrin {

// Paints tall Fusion scroll bars a band at a time into a small image, then copies the bands
// in. Qt's raster engine shares out a fill of 96 spans or more to its thread pool and waits
// for the pieces; a tall bar's groove and a long handle (a span a line) are such fills, and
// waking the pool cost more than the painting: 0.2 to 1 ms a repaint against under 0.1 ms
// banded, on a 2-processor machine. A band's fills end at its image's edge, short enough to
// be filled on the window thread. (A clip is not enough: Fusion sets its own clip for the
// groove's edge.)
//
// The picture is the style's own only where the bar covers its whole rectangle with opaque
// paint, so that nothing beneath shows through. Anything else (other styles, a transient bar,
// a painter with its own opacity or transform) is painted by the wrapped style as it is. So
// are horizontal bars (the list's columns fit its width) and scaled screens, where Fusion's
// outlines are stroked as shapes of two spans a line and a band would be too thin to pay.
class BandedScrollBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

    // Lines per band: under the engine's 96.
    static constexpr int kBandLines = 88;

private:
    bool PaintsWholeAndOpaque(const QStyleOptionComplex& option, const QPainter& painter,
                              const QWidget* widget) const;

    mutable QImage band_;  // painting happens on the window thread only
};

}  // namespace ambrin
