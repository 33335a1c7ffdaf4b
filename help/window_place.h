#pragma once

#include <QRect>

class QWidget;

// Centres a top-level window in `area` (the work area of the screen). A window
// taller than the area is made as tall as the area, so that its top, with its
// title and its first lines, is never above the screen; only windows whose
// height is not fixed by their content should be shrunk this way.
void CentreInArea(QWidget& window, const QRect& area, bool mayShrinkHeight);

// The work area of the primary screen; empty when there is no screen.
QRect PrimaryWorkArea();
