#pragma once

#include <QIcon>

namespace ambrin {

// An icon drawn from one of our SVG sources at every size a screen may ask for, crisp at
// any scale. Rendered with QSvgRenderer, so it needs no image-format plugin at run time.
// "currentColor" in the source is drawn in ink, so a monochrome icon follows the palette.
QIcon SvgIcon(const QString& resource, const QColor& ink = Qt::black);

inline QIcon AppIcon() { return SvgIcon(QStringLiteral(":/icons/ambrin.svg")); }
inline QIcon NotesIcon() { return SvgIcon(QStringLiteral(":/icons/notes.svg")); }
inline QIcon OptionsIcon(const QColor& ink) { return SvgIcon(QStringLiteral(":/icons/options.svg"), ink); }

}  // namespace ambrin
