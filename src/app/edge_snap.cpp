#include "edge_snap.h"

namespace tolvane::app {

namespace {
bool Near(int gap) {
  return -kSnapDistance < gap && gap < kSnapDistance;
}
}  // namespace

ui::Rect SnapToWorkArea(ui::Rect proposed, ui::Rect work_area) {
  ui::Rect r = proposed;
  if (Near(r.left - work_area.left))
    r.left = work_area.left;
  if (Near(r.top - work_area.top))
    r.top = work_area.top;
  if (Near(work_area.Right() - (r.left + r.width)))
    r.left = work_area.Right() - r.width;
  if (Near(work_area.Bottom() - (r.top + r.height)))
    r.top = work_area.Bottom() - r.height;
  return r;
}

}  // namespace tolvane::app
