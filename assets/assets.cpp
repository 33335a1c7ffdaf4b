#include "assets/assets.h"

#include <QBitmap>
#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderPicture(const QString& resource, const QSize& size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon PushPinIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(
            RenderPicture(QStringLiteral(":/pictures/pushpin.svg"), QSize(side, side), 1.0));
    return icon;
}

QPixmap SplashPicture(const QSize& size, qreal devicePixelRatio)
{
    return RenderPicture(QStringLiteral(":/pictures/splash.svg"), size, devicePixelRatio);
}

QRegion SplashShape(const QSize& size)
{
    const QBitmap covered = SplashPicture(size, 1.0).mask();
    if (covered.isNull())
        return QRegion(QRect(QPoint(0, 0), size));
    return QRegion(covered);
}
