#pragma once

#include "geometry.h"

namespace tolvane::ui {

// The screen's work area: the desktop without panels and taskbars, in screen coordinates.
class WorkArea {
 public:
  virtual ~WorkArea() = default;
  virtual Rect Get() const = 0;
};

}  // namespace tolvane::ui
