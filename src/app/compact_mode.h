#pragma once

#include "platform/ui/control.h"
#include "platform/ui/form.h"
#include "platform/ui/geometry.h"

namespace tolvane::app {

// Shows or hides the page area `pages` of `form`. A window whose bottom edge sits on the work
// area's bottom grows or shrinks upwards and stays docked there; any other window keeps its top
// and grows or shrinks downwards.
void ToggleCompactMode(ui::Form& form, ui::Control& pages, ui::Rect work_area);

}  // namespace tolvane::app
