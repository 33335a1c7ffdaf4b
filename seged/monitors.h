#pragma once

#include <QRect>

#include <vector>

// The monitor a window belongs to, and the work area it is placed, snapped
// and fitted in.

// Index into `monitors` of the one holding `window`: the one with the largest
// part of it; when none holds any part, the nearest one (the shortest gap
// between the rectangles); the first of equals wins. -1 when there are none.
int HoldingMonitor(const QRect& window, const std::vector<QRect>& monitors);

// The work area (the screen without its panels) of the monitor holding
// `window`. With a single monitor it is the work area fixed at start (the
// global WorkArea) when there is one, so that a panel appearing later moves
// nothing. Empty when there is no screen and no work area.
QRect WorkAreaHolding(const QRect& window);

// True when at least half of `window` lies on the monitors: a place worth
// keeping; otherwise the window would be as good as off screen.
bool MostlyOnMonitors(const QRect& window, const std::vector<QRect>& monitors);

// The geometries of the monitors the program sees now.
std::vector<QRect> MonitorGeometries();
