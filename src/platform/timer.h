#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "signal.h"

namespace tolvane::platform {

// A repeating timer. It only holds its settings: the Qt loop, or a test's manual scheduler,
// watches it and calls Fire() every Interval milliseconds while it is enabled.
class Timer final {
 public:
  Timer(std::string name, uint32_t interval_ms) : name_(std::move(name)), interval_(interval_ms) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& Name() const { return name_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    if (enabled == enabled_)
      return;
    enabled_ = enabled;
    Changed.Emit();
  }
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t interval_ms) {
    interval_ = interval_ms;
    Changed.Emit();
  }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // One elapsed interval; does nothing while the timer is off.
  void Fire() {
    if (enabled_ && OnTimer)
      OnTimer();
  }

  std::function<void()> OnTimer;
  Signal<> Changed;

 private:
  std::string name_;
  uint32_t interval_;
  bool enabled_ = false;
  int tag_ = 0;
};

}  // namespace tolvane::platform
