#pragma once

#include "core/ClockTime.h"

#include <QString>

#include <string>
#include <string_view>

namespace ambrin {

// Texts are byte strings in the user's locale; the explicit length keeps NUL bytes.
inline QString ToQString(std::string_view bytes)
{
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToBytes(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// "9:05": the hour and minute of a time, as the windows' messages give it.
inline QString HourMinute(ClockTime time)
{
    const CalendarFields f = time.Fields();
    return QStringLiteral("%1:%2").arg(f.hour).arg(f.minute, 2, 10, QLatin1Char('0'));
}

// A multi-line text for an edit box: its CR LF pairs become the box's line breaks.
inline QString ToEditText(const std::string& bytes)
{
    QString text = ToQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// An edit box's text back as bytes, its line breaks as CR LF pairs.
inline std::string FromEditText(const QString& text)
{
    QString crlf = text;
    crlf.replace(QChar('\n'), QStringLiteral("\r\n"));
    return ToBytes(crlf);
}

// The bytes to keep for a one-line text: the original ones when the user left the text as
// it was shown, so bytes the locale cannot show survive a visit to a dialog.
inline std::string EditedBytes(const std::string& original, const QString& shown)
{
    return shown == ToQString(original) ? original : ToBytes(shown);
}

}  // namespace ambrin
