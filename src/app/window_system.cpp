#include "window_system.h"

namespace tolvane::app {

namespace {

bool Set(const std::optional<std::string>& variable) {
  return variable && !variable->empty();
}

}  // namespace

std::string PreferredPlatform(const DisplayVariables& variables) {
  if (Set(variables.qt_platform))
    return "";
  // Wayland stays as the fallback, should the X display not answer.
  return Set(variables.wayland_display) && Set(variables.x_display) ? "xcb;wayland" : "";
}

}  // namespace tolvane::app
