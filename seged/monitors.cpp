#include "seged/monitors.h"

#include "seged/globals.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdint>

namespace {

std::int64_t Area(const QRect& r)
{
    return r.isEmpty() ? 0 : std::int64_t{r.width()} * r.height();
}

// The gap between two rectangles along one axis; 0 when they overlap on it.
std::int64_t Gap(std::int64_t aStart, std::int64_t aEnd, std::int64_t bStart, std::int64_t bEnd)
{
    return std::max<std::int64_t>({0, bStart - aEnd, aStart - bEnd});
}

double SquaredDistance(const QRect& a, const QRect& b)
{
    // Edges as one past the last pixel, in 64 bits: stored values may be far off.
    const std::int64_t dx =
        Gap(a.x(), std::int64_t{a.x()} + a.width(), b.x(), std::int64_t{b.x()} + b.width());
    const std::int64_t dy =
        Gap(a.y(), std::int64_t{a.y()} + a.height(), b.y(), std::int64_t{b.y()} + b.height());
    // In double: a gap may span the whole int range twice.
    return static_cast<double>(dx) * static_cast<double>(dx) +
           static_cast<double>(dy) * static_cast<double>(dy);
}

}  // namespace

int HoldingMonitor(const QRect& window, const std::vector<QRect>& monitors)
{
    int best = -1;
    std::int64_t bestArea = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const std::int64_t area = Area(window.intersected(monitors[i]));
        if (area > bestArea) {
            best = static_cast<int>(i);
            bestArea = area;
        }
    }
    if (best >= 0)
        return best;
    // An empty window (no width or height) still has a place to measure from.
    const QRect probe(window.topLeft(),
                      QSize(std::max(window.width(), 1), std::max(window.height(), 1)));
    double bestDistance = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const double distance = SquaredDistance(probe, monitors[i]);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

bool MostlyOnMonitors(const QRect& window, const std::vector<QRect>& monitors)
{
    // Monitors do not overlap (RandR monitors may, rarely; then a part counts twice).
    std::int64_t shown = 0;
    for (const QRect& monitor : monitors)
        shown += Area(window.intersected(monitor));
    return Area(window) > 0 && 2 * shown >= Area(window);
}

std::vector<QRect> MonitorGeometries()
{
    std::vector<QRect> geometries;
    for (const QScreen* screen : QGuiApplication::screens())
        geometries.push_back(screen->geometry());
    return geometries;
}

QRect WorkAreaHolding(const QRect& window)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return WorkArea;
    const std::vector<QRect> geometries = MonitorGeometries();
    const QScreen* holding = screens.at(HoldingMonitor(window, geometries));
    // One monitor: the area fixed at start, as it always was.
    if (screens.size() == 1 && WorkArea.isValid())
        return WorkArea;
    return holding->availableGeometry();
}
