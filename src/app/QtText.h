#pragma once

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

// The bytes to keep for an edited text: the original ones when the user left the text as
// it was shown, so bytes the locale cannot show survive a visit to a dialog.
inline std::string EditedBytes(const std::string& original, const QString& shown)
{
    return shown == ToQString(original) ? original : ToBytes(shown);
}

}  // namespace ambrin
