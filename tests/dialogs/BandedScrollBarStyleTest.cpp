#include "dialogs/BandedScrollBarStyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSemaphore>
#include <QStyleOptionSlider>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>

namespace ambrin {
namespace {

struct BarCase {
    const char* name;
    Qt::Orientation orientation;
    QSize size;
    int maximum;  // with a page of 10: a small maximum makes a long handle
    int value;
    QStyle::SubControls active;
    QStyle::State state;
    qreal ratio;  // device pixels to a logical pixel
};

const BarCase kBars[] = {
    {"a short bar, under one band", Qt::Vertical, {14, 60}, 100, 50, QStyle::SC_None, QStyle::State_Enabled, 1},
    {"a long log at its top", Qt::Vertical, {14, 279}, 99'990, 0, QStyle::SC_None, QStyle::State_Enabled, 1},
    {"a long log at its end", Qt::Vertical, {14, 279}, 99'990, 99'990, QStyle::SC_None, QStyle::State_Enabled, 1},
    {"a long handle, hovered", Qt::Vertical, {14, 700}, 3, 1, QStyle::SC_ScrollBarSlider, QStyle::State_Enabled, 1},
    {"the down arrow pressed", Qt::Vertical, {14, 333}, 40, 17, QStyle::SC_ScrollBarAddLine,
     QStyle::State_Enabled | QStyle::State_Sunken, 1},
    {"disabled", Qt::Vertical, {14, 400}, 0, 0, QStyle::SC_None, QStyle::State_None, 1},
    {"a scaled screen", Qt::Vertical, {14, 450}, 25, 25, QStyle::SC_ScrollBarSlider, QStyle::State_Enabled, 2},
    {"a scaled screen by a half", Qt::Vertical, {14, 301}, 7, 3, QStyle::SC_None, QStyle::State_Enabled, 1.5},
    {"a horizontal bar", Qt::Horizontal, {500, 14}, 9, 4, QStyle::SC_None, QStyle::State_Enabled, 1},
};

QImage Paint(const QStyle& style, const BarCase& bar)
{
    QScrollBar widget(bar.orientation);
    widget.resize(bar.size);
    QStyleOptionSlider option;
    option.initFrom(&widget);
    option.rect = QRect(QPoint(0, 0), bar.size);
    option.orientation = bar.orientation;
    option.state = bar.state | (bar.orientation == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = bar.active;
    option.minimum = 0;
    option.maximum = bar.maximum;
    option.pageStep = 10;
    option.singleStep = 1;
    option.sliderPosition = option.sliderValue = bar.value;

    QImage image(bar.size * bar.ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(bar.ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style.drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, &widget);
    return image;
}

// The bands must add up to the picture the style paints whole, in every state a bar can be in.
TEST(BandedScrollBarStyleTest, PaintsWhatTheStylePaints)
{
    BandedScrollBarStyle banded;
    for (const BarCase& bar : kBars) {
        SCOPED_TRACE(bar.name);
        const QImage whole = Paint(*QApplication::style(), bar);
        EXPECT_TRUE(Paint(banded, bar) == whole);
    }
}

// With the pool's only thread held, a fill shared out to the pool would wait for the holder
// to give up: the painting must not need it.
TEST(BandedScrollBarStyleTest, TallBarsPaintWithoutThePool)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->waitForDone();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    QSemaphore held, gate;
    std::atomic<bool> releasedInTime{false};
    pool->start([&] {
        held.release();
        releasedInTime = gate.tryAcquire(1, 20'000);
    });
    held.acquire();

    BandedScrollBarStyle banded;
    for (const BarCase& bar : kBars) {
        // Scaled screens and horizontal bars are left to the style, pool and all.
        if (bar.ratio == 1 && bar.orientation == Qt::Vertical) Paint(banded, bar);
    }

    gate.release();
    pool->waitForDone();
    pool->setMaxThreadCount(threads);
    EXPECT_TRUE(releasedInTime);
}

}  // namespace
}  // namespace ambrin
