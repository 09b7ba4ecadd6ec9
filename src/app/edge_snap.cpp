#include "edge_snap.h"

namespace tolvane::app {

namespace {
// Gaps in 64 bits: a stored position may lie anywhere in the 32-bit range.
bool Near(int64_t gap) {
  return -kSnapDistance < gap && gap < kSnapDistance;
}
}  // namespace

ui::Rect SnapToWorkArea(ui::Rect proposed, ui::Rect work_area) {
  ui::Rect r = proposed;
  const int64_t area_right = int64_t{work_area.left} + work_area.width;
  const int64_t area_bottom = int64_t{work_area.top} + work_area.height;
  if (Near(int64_t{r.left} - work_area.left))
    r.left = work_area.left;
  if (Near(int64_t{r.top} - work_area.top))
    r.top = work_area.top;
  if (Near(area_right - (int64_t{r.left} + r.width)))
    r.left = static_cast<int>(area_right - r.width);
  if (Near(area_bottom - (int64_t{r.top} + r.height)))
    r.top = static_cast<int>(area_bottom - r.height);
  return r;
}

ui::Point PlaceOnWorkArea(ui::Rect stored, ui::Rect work_area) {
  // Some part of the window must lie on the work area, or nobody could reach it.
  const int64_t right = int64_t{stored.left} + stored.width;
  const int64_t bottom = int64_t{stored.top} + stored.height;
  const bool visible = right > work_area.left && bottom > work_area.top &&
                       stored.left < int64_t{work_area.left} + work_area.width &&
                       stored.top < int64_t{work_area.top} + work_area.height;
  if (visible)
    return {stored.left, stored.top};
  return {work_area.left + (work_area.width - stored.width) / 2,
          work_area.top + (work_area.height - stored.height) / 2};
}

}  // namespace tolvane::app
