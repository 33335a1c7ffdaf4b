#include "notes/note_pictures.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace {
QPixmap Render(const QString& name, int side, qreal ratio)
{
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
}  // namespace

QPixmap ImportantMarkerPicture(qreal devicePixelRatio)
{
    // Every note shares the same few pictures.
    static QHash<qreal, QPixmap> cache;
    auto found = cache.find(devicePixelRatio);
    if (found == cache.end())
        found = cache.insert(devicePixelRatio, Render(QStringLiteral("fontos"), 16, devicePixelRatio));
    return *found;
}

QIcon CommandIcon(const QString& name)
{
    static QHash<QString, QIcon> cache;
    auto found = cache.find(name);
    if (found == cache.end()) {
        QIcon icon;
        for (int side : {16, 24, 32})
            icon.addPixmap(Render(name, side, 1.0));
        found = cache.insert(name, icon);
    }
    return *found;
}
