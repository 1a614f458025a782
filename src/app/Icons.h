#pragma once

#include <QIcon>

namespace ambrin {

// An icon drawn from one of our SVG sources at every size a screen may ask for, crisp at
// any scale. Rendered with QSvgRenderer, so it needs no image-format plugin at run time.
QIcon SvgIcon(const QString& resource);

inline QIcon AppIcon() { return SvgIcon(QStringLiteral(":/icons/ambrin.svg")); }
inline QIcon NotesIcon() { return SvgIcon(QStringLiteral(":/icons/notes.svg")); }
inline QIcon OptionsIcon() { return SvgIcon(QStringLiteral(":/icons/options.svg")); }

}  // namespace ambrin
