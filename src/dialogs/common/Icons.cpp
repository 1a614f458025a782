#include "dialogs/common/Icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace ambrin {

QIcon SvgIcon(const QString& resource, const QColor& ink, std::initializer_list<int> sizes)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    QByteArray source = file.readAll();
    source.replace("currentColor", ink.name().toLatin1());
    QSvgRenderer renderer(source);
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace ambrin
