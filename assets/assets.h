#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRegion>
#include <QSize>
#include <QString>

// A picture of the resource (":/pictures/<name>.svg") at a logical size,
// sharp on scaled screens.
QPixmap RenderPicture(const QString& resource, const QSize& size, qreal devicePixelRatio);

// The push-pin of the tray icon and the program's windows.
QIcon PushPinIcon();
// The splash picture at the given logical size, sharp on scaled screens.
QPixmap SplashPicture(const QSize& size, qreal devicePixelRatio);
// The splash picture's own shape at the given logical size: the pixels it
// covers, without its transparent rounded corners.
QRegion SplashShape(const QSize& size);
