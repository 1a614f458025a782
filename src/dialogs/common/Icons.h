#pragma once

#include <QIcon>

#include <initializer_list>

namespace ambrin {

// The sizes a window's icon is asked for, from its title bar to a task switcher; and those
// a tool button's icon needs, up to 300 %.
inline constexpr std::initializer_list<int> kWindowIconSizes = {16, 20, 24, 32, 40, 48, 64, 96, 128, 256};
inline constexpr std::initializer_list<int> kButtonIconSizes = {16, 20, 24, 32, 40, 48};

// An icon drawn from one of our SVG sources at each of the sizes, crisp at those scales.
// Rendered with QSvgRenderer, so it needs no image-format plugin at run time.
// "currentColor" in the source is drawn in ink, so a monochrome icon follows the palette.
QIcon SvgIcon(const QString& resource, const QColor& ink, std::initializer_list<int> sizes);

inline QIcon AppIcon() { return SvgIcon(QStringLiteral(":/icons/ambrin.svg"), Qt::black, kWindowIconSizes); }
inline QIcon NotesIcon() { return SvgIcon(QStringLiteral(":/icons/notes.svg"), Qt::black, kButtonIconSizes); }
inline QIcon OptionsIcon(const QColor& ink)
{
    return SvgIcon(QStringLiteral(":/icons/options.svg"), ink, kButtonIconSizes);
}

}  // namespace ambrin
