#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The 16 x 16 warning sign of important notes, sharp at the given ratio.
QPixmap ImportantMarkerPicture(qreal devicePixelRatio);
// The picture of a note command by its picture name ("balra", "elment", ...).
QIcon CommandIcon(const QString& name);
