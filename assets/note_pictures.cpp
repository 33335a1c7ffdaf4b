#include "assets/note_pictures.h"

#include "assets/assets.h"

#include <QHash>

namespace {
QPixmap Render(const QString& name, int side, qreal ratio)
{
    return RenderPicture(QStringLiteral(":/pictures/%1.svg").arg(name), QSize(side, side), ratio);
}
}  // namespace

QPixmap ImportantMarkerPicture(qreal devicePixelRatio)
{
    // Every note shares the same few pictures.
    static QHash<qreal, QPixmap> cache;
    auto found = cache.find(devicePixelRatio);
    if (found == cache.end())
        found =
            cache.insert(devicePixelRatio, Render(QStringLiteral("fontos"), 16, devicePixelRatio));
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
