#pragma once

#include <QPoint>
#include <QRect>

#include "record/note.h"

// Where a note stored at `stored` (top-left and outer size) opens. The
// right and bottom edges of the work area are exclusive (left + width).
// A note wider than the work area ends at left 0; a taller one keeps a
// negative top unless its stored top was negative.
QPoint PlaceNote(const QRect& workArea, const TNotePlace& stored);

// The top-left of a window after snapping to the work area's edges: an edge
// closer than 10 pixels (either side) to the matching work-area edge is laid
// on it; left and top first, then right and bottom.
QPoint SnapToWorkArea(const QRect& window, const QRect& workArea);

// The work area a note at `window` is placed and snapped in: that of the
// monitor holding it; with one monitor the one fixed at start, or the primary
// screen's when there is none yet.
QRect NoteWorkArea(const QRect& window);
