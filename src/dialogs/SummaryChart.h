#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace ambrin {

struct TimeSummary;

// A bar per period, stacked by project: the projects with the most time in colours of their
// own, the rest together as "Other". Drawn with QPainter in the window's palette.
class SummaryChart : public QWidget {
    Q_OBJECT
public:
    explicit SummaryChart(QWidget* parent = nullptr);

    void SetSummary(const TimeSummary& summary);

    struct Series {
        QString name;
        QColor colour;
        std::vector<std::int64_t> seconds;  // per period
    };
    const std::vector<Series>& Stacks() const { return series_; }

    static constexpr int kOwnColours = 7;  // more would be hard to tell apart

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The legend's rows, drawn from top; returns the height it takes.
    int DrawLegend(class QPainter& painter, const QRect& area) const;

    std::vector<Series> series_;
    QStringList labels_;  // a short label per period
    std::int64_t tallest_ = 0;
};

}  // namespace ambrin
