#include "help/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void CentreInArea(QWidget& window, const QRect& area, bool mayShrinkHeight)
{
    if (area.isEmpty())
        return;
    if (mayShrinkHeight && window.height() > area.height())
        window.setFixedHeight(area.height());
    const int left = area.left() + (area.width() - window.width()) / 2;
    const int top = area.top() + (area.height() - window.height()) / 2;
    window.move(std::max(left, area.left()), std::max(top, area.top()));
}

QRect PrimaryWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
