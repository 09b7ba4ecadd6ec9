#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane::testing {

// A private X display for one test: Xvfb with its own auth cookie, so that nothing else draws on
// it, and openbox managing its windows. Everything it started ends with it.
class DesktopSession final {
 public:
  DesktopSession();
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // False when the display or the window manager did not come up; the reason is in Failure().
  bool Ready() const { return failure_.empty(); }
  const std::string& Failure() const { return failure_; }

  // DISPLAY and XAUTHORITY of this display (and the Qt platform that draws there), for the
  // programs a test starts on it.
  const std::map<std::string, std::string>& Environment() const { return environment_; }
  std::map<std::string, std::string> EnvironmentWith(
      const std::map<std::string, std::string>& more) const;

  // Runs a program on this display to its end (at most 20 s); what it printed, and its exit
  // code in `exit_code` when given.
  std::string Run(const std::string& program, const std::vector<std::string>& arguments,
                  int* exit_code = nullptr) const;
  void Xdotool(const std::vector<std::string>& arguments) const;

  // The first visible window whose title matches `title` (a regular expression), waiting up to
  // `limit`; nullopt when none came.
  std::optional<std::string> FindWindow(const std::string& title,
                                        std::chrono::milliseconds limit) const;
  // A window's client area on the screen, and its frame's extents as the window manager set
  // them.
  struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };
  Box ClientArea(const std::string& window) const;
  struct Extents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
  };
  Extents FrameExtents(const std::string& window) const;
  // A window property as xprop prints it.
  std::string Property(const std::string& window, const std::string& name) const;

  // The whole screen as build/screenshots/desktop/NAME.
  void Screenshot(const std::string& name) const;
  // A digest of what the screen shows now.
  std::string ScreenDigest() const;
  // Waits (at most `limit`) until the screen differs from `before`, then until two looks in a row
  // agree: what a click set off has been drawn. False when nothing changed in time.
  bool WaitForChange(const std::string& before, std::chrono::milliseconds limit) const;
  // Waits (at most `limit`) until two looks in a row agree: the window manager has framed and
  // placed what it was given.
  bool WaitUntilStill(std::chrono::milliseconds limit) const;
  // How many windows are visible (a menu that opens is one more).
  int VisibleWindows() const;

 private:
  TempFolder temp_;
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> window_manager_;
  std::map<std::string, std::string> environment_;
  std::string failure_;
};

}  // namespace tolvane::testing
