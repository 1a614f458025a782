#pragma once

#include <QDateTimeEdit>
#include <QLocale>

namespace ambrin {

// The locale's long time format, seconds included, less its time-zone part: records are set to
// the second.
inline QString TimeFormatWithSeconds()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// Pickers hold wall-clock fields: no daylight-saving gap is refused, and every date a record
// can hold is reachable (the default minimum, 1752-09-14, would change an empty start).
inline void HoldWallClockFields(QDateTimeEdit* picker)
{
    picker->setTimeSpec(Qt::UTC);
    picker->setMinimumDate(QDate(1601, 1, 1));
}

// A date or time picker that Tab leaves, as it leaves every other control (Qt's pickers walk
// their fields with Tab first); Left and Right move between the fields.
template <typename Picker>
class TabLeavingPicker : public Picker {
public:
    using Picker::Picker;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

}  // namespace ambrin
