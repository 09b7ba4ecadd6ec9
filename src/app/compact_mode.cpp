#include "compact_mode.h"

namespace tolvane::app {

void ToggleCompactMode(ui::Form& form, ui::Control& pages, ui::Rect work_area) {
  const ui::Rect window = form.Bounds();
  const bool docked_at_bottom = window.Bottom() == work_area.Bottom();
  const int page_height = pages.Height();
  pages.SetVisible(!pages.Visible());
  const int delta = pages.Visible() ? page_height : -page_height;
  ui::Rect resized = window;
  resized.height += delta;
  if (docked_at_bottom)
    resized.top -= delta;
  form.SetBounds(resized);
}

}  // namespace tolvane::app
