#pragma once

#include <optional>
#include <string>

namespace tolvane::app {

// What each of the variables that choose Qt's window system holds (nullopt: not set).
struct DisplayVariables {
  std::optional<std::string> qt_platform;      // QT_QPA_PLATFORM
  std::optional<std::string> wayland_display;  // WAYLAND_DISPLAY
  std::optional<std::string> x_display;        // DISPLAY
};

// The window systems to ask Qt for, in order ("xcb;wayland"), or "" to leave the choice to Qt.
// Under Wayland a client cannot place its windows (the stored position, edge snapping, compact
// docking, menus and dialogs under their buttons); through XWayland it can. So X11 is taken when
// both are there and the user has not chosen; the user's own choice always wins, and without
// XWayland the window runs natively, everything but its placement working.
std::string PreferredPlatform(const DisplayVariables& variables);

}  // namespace tolvane::app
