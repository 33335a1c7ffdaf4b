#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The push-pin of the tray icon and the program's windows.
QIcon PushPinIcon();
// The splash picture at the given logical size, sharp on scaled screens.
QPixmap SplashPicture(const QSize& size, qreal devicePixelRatio);
