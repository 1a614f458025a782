#include "dialogs/SummaryChart.h"

#include "core/TimeSummary.h"
#include "dialogs/common/QtText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ambrin {

namespace {

// Colours told apart by people with any common colour blindness (Okabe and Ito), and grey.
const QColor kColours[SummaryChart::kOwnColours] = {
    QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9), QColor(0x00, 0x9E, 0x73), QColor(0xF0, 0xE4, 0x42),
    QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00), QColor(0xCC, 0x79, 0xA7),
};
const QColor kOtherColour(0x99, 0x99, 0x99);

// Under a bar: "12-07" for a day, "W50" for a week, "2026-12" for a month.
QString ShortLabel(const std::string& period)
{
    const QString text = QString::fromLatin1(period.data(), static_cast<qsizetype>(period.size()));
    if (text.size() == 10) return text.mid(5);
    const qsizetype week = text.indexOf(QLatin1Char('W'));
    return week >= 0 ? text.mid(week) : text;
}

// A step between grid lines, in hours, that gives at most five of them.
double GridStep(double hours)
{
    for (const double step : {0.25, 0.5, 1.0, 2.0, 4.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 250.0, 500.0}) {
        if (hours / step <= 5) return step;
    }
    return std::ceil(hours / 5 / 1000) * 1000;
}

QString HoursText(double hours)
{
    return hours == std::floor(hours) ? QStringLiteral("%1 h").arg(hours, 0, 'f', 0) : QStringLiteral("%1 h").arg(hours, 0, 'f', 2);
}

}  // namespace

SummaryChart::SummaryChart(QWidget* parent) : QWidget(parent)
{
    setObjectName("summaryChart");
    setAccessibleName(QStringLiteral("Chart"));
    setAccessibleDescription(QStringLiteral("Hours per period stacked by project; the table has the same figures"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SummaryChart::SetSummary(const TimeSummary& summary)
{
    std::vector<std::size_t> order(summary.projects.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return summary.ProjectTotal(a) > summary.ProjectTotal(b); });
    series_.clear();
    const std::size_t periods = summary.periods.size();
    // One more project than colours takes the grey itself rather than an "Other" of one.
    const std::size_t own = order.size() <= kOwnColours + 1 ? order.size() : kOwnColours;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        if (rank < own) {
            series_.push_back({ToQString(summary.projects[order[rank]]), rank < kOwnColours ? kColours[rank] : kOtherColour,
                               std::vector<std::int64_t>(periods, 0)});
        } else if (rank == own) {
            series_.push_back({QStringLiteral("Other"), kOtherColour, std::vector<std::int64_t>(periods, 0)});
        }
        for (std::size_t q = 0; q < periods; ++q) series_.back().seconds[q] += summary.At(order[rank], q);
    }
    labels_.clear();
    tallest_ = 0;
    for (std::size_t q = 0; q < periods; ++q) {
        labels_.push_back(ShortLabel(summary.periods[q]));
        tallest_ = std::max(tallest_, summary.PeriodTotal(q));
    }
    update();
}

QSize SummaryChart::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 14};
}

QSize SummaryChart::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 30, fontMetrics().height() * 8};
}

int SummaryChart::DrawLegend(QPainter& painter, const QRect& area) const
{
    const QFontMetrics fm = fontMetrics();
    const int swatch = fm.ascent(), gap = fm.averageCharWidth() * 2;
    int x = area.left(), y = area.top();
    for (const Series& s : series_) {
        const QString name = fm.elidedText(s.name, Qt::ElideRight, fm.averageCharWidth() * 24);
        const int width = swatch + fm.averageCharWidth() + fm.horizontalAdvance(name);
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            y += fm.height();
        }
        painter.fillRect(QRect(x, y + (fm.height() - swatch) / 2, swatch, swatch), s.colour);
        painter.drawText(QRect(x + swatch + fm.averageCharWidth(), y, width, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, name);
        x += width + gap;
    }
    return series_.empty() ? 0 : y + fm.height() - area.top();
}

void SummaryChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics fm = fontMetrics();
    const QColor text = palette().color(QPalette::WindowText);
    painter.setPen(text);
    const int margin = fm.height() / 2;
    const QRect inner = rect().adjusted(margin, margin, -margin, -margin);
    if (tallest_ <= 0 || labels_.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(inner, Qt::AlignCenter, QStringLiteral("No time recorded between these dates."));
        return;
    }
    const int legend = DrawLegend(painter, inner);
    const double step = GridStep(static_cast<double>(tallest_) / 3600.0);
    const double top = std::ceil(static_cast<double>(tallest_) / 3600.0 / step) * step;
    const int axis = fm.horizontalAdvance(HoursText(top)) + fm.averageCharWidth();
    const QRect plot(inner.left() + axis, inner.top() + legend + margin, inner.width() - axis,
                     inner.height() - legend - margin - fm.height() - fm.descent());
    if (plot.height() < fm.height() || plot.width() < labels_.size()) return;

    QColor grid = palette().color(QPalette::WindowText);
    grid.setAlpha(50);
    for (double h = 0; h <= top + step / 2; h += step) {
        const int y = plot.bottom() - static_cast<int>(h / top * plot.height());
        painter.setPen(grid);
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(text);
        painter.drawText(QRect(inner.left(), y - fm.height() / 2, axis - fm.averageCharWidth() / 2, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, HoursText(h));
    }

    const double slot = static_cast<double>(plot.width()) / labels_.size();
    const int barWidth = std::max(1, static_cast<int>(slot * 0.7));
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("0000-00")) + fm.averageCharWidth();
    const int every = std::max(1, static_cast<int>(std::ceil(labelWidth / slot)));
    for (int q = 0; q < labels_.size(); ++q) {
        const int x = plot.left() + static_cast<int>(slot * q + (slot - barWidth) / 2);
        double stacked = 0;
        for (const Series& s : series_) {
            const double hours = static_cast<double>(s.seconds[static_cast<std::size_t>(q)]) / 3600.0;
            if (hours <= 0) continue;
            const int y0 = plot.bottom() - static_cast<int>(stacked / top * plot.height());
            stacked += hours;
            const int y1 = plot.bottom() - static_cast<int>(stacked / top * plot.height());
            painter.fillRect(QRect(x, y1, barWidth, std::max(1, y0 - y1)), s.colour);
        }
        if (q % every == 0) {
            painter.setPen(text);
            const int centre = plot.left() + static_cast<int>(slot * (q + 0.5));
            painter.drawText(QRect(centre - labelWidth / 2, plot.bottom() + fm.descent(), labelWidth, fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop, labels_[q]);
        }
    }
}

}  // namespace ambrin
