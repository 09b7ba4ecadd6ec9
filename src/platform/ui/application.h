#pragma once

#include <functional>
#include <string>

#include "platform/event_loop.h"
#include "platform/signal.h"

namespace tolvane::ui {

// The application as a whole: its title (what the taskbar shows), the pending-events pump, and
// the minimise, restore, activate and deactivate events the window system reports.
class Application final {
 public:
  explicit Application(platform::EventLoop& loop) : loop_(loop) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) {
    if (title == title_)
      return;
    title_ = std::move(title);
    Changed.Emit();
  }

  platform::EventLoop& Loop() { return loop_; }
  void ProcessMessages() { loop_.ProcessMessages(); }
  void WaitForMessages(unsigned max_ms) { loop_.WaitForMessages(max_ms); }

  bool Minimized() const { return minimized_; }
  bool Active() const { return active_; }

  // Requests to the view.
  void Minimize() { MinimizeRequested.Emit(); }
  void Restore() { RestoreRequested.Emit(); }
  // Draws the windows now, before a long piece of work, without handling any other event.
  void Repaint() { RepaintRequested.Emit(); }

  // Called by the view when the window system reports the change.
  void ReportMinimized() {
    minimized_ = true;
    if (OnMinimize)
      OnMinimize();
  }
  void ReportRestored() {
    minimized_ = false;
    if (OnRestore)
      OnRestore();
  }
  void ReportActivated() {
    active_ = true;
    if (OnActivate)
      OnActivate();
  }
  void ReportDeactivated() {
    active_ = false;
    if (OnDeactivate)
      OnDeactivate();
  }

  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;
  std::function<void()> OnActivate;
  std::function<void()> OnDeactivate;

  platform::Signal<> Changed;
  platform::Signal<> MinimizeRequested;
  platform::Signal<> RestoreRequested;
  platform::Signal<> RepaintRequested;

 private:
  platform::EventLoop& loop_;
  std::string title_;
  bool minimized_ = false;
  bool active_ = false;
};

}  // namespace tolvane::ui
