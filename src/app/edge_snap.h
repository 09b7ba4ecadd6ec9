#pragma once

#include <cstdint>

#include "platform/ui/geometry.h"

namespace tolvane::app {

// How close, in pixels, an edge must come to the work area's edge to snap to it.
inline constexpr int kSnapDistance = 15;

// Snaps a proposed window rectangle to the edges of the work area. The four rules run in order
// on the already adjusted position (left, top, right, bottom), so the right edge wins over the
// left one for a window almost as wide as the work area. Only the position changes.
ui::Rect SnapToWorkArea(ui::Rect proposed, ui::Rect work_area);

// Where a window stored at `stored` opens: there, when any part of it lies on the work area;
// centred on the work area otherwise (a stored place off every screen, or at the ends of the
// number range).
ui::Point PlaceOnWorkArea(ui::Rect stored, ui::Rect work_area);

}  // namespace tolvane::app
