#include "notes/placement.h"

#include "seged/monitors.h"

#include <cstdlib>

namespace {
constexpr int SnapDistance = 10;

bool Near(int a, int b)
{
    return std::abs(a - b) < SnapDistance;
}
}  // namespace

QPoint PlaceNote(const QRect& workArea, const TNotePlace& stored)
{
    const int left = stored.Left;
    const int top = stored.Top;
    const int width = stored.Width;
    const int height = stored.Height;
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();

    int x = left + width > right ? right - width : left;
    if (x < 0)
        x = 0;

    int y = top + height > bottom ? bottom - height : top;
    // The given top decides here, not the result above.
    if (top < 0)
        y = 0;
    return {x, y};
}

QPoint SnapToWorkArea(const QRect& window, const QRect& workArea)
{
    int x = window.x();
    int y = window.y();
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    if (Near(x, workArea.x()))
        x = workArea.x();
    if (Near(y, workArea.y()))
        y = workArea.y();
    if (Near(x + window.width(), right))
        x = right - window.width();
    if (Near(y + window.height(), bottom))
        y = bottom - window.height();
    return {x, y};
}

QRect NoteWorkArea(const QRect& window)
{
    const QRect area = WorkAreaHolding(window);
    return area.isValid() ? area : QRect(0, 0, 1024, 768);
}
