#pragma once

#include <functional>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/work_area.h"

namespace tolvane::testing {

// A work area the test sets.
class FixedWorkArea final : public ui::WorkArea {
 public:
  explicit FixedWorkArea(ui::Rect area) : area_(area) {}
  void Set(ui::Rect area) { area_ = area; }
  ui::Rect Get() const override { return area_; }

 private:
  ui::Rect area_;
};

// A message loop with nothing waiting; counts how often it was asked. A test may give it
// something to do while the program waits for events (fire a timer, move the clock on).
class CountingEventLoop final : public ui::EventLoop {
 public:
  void ProcessMessages() override { ++calls_; }
  void WaitForMessages(unsigned max_ms) override {
    ++calls_;
    if (on_wait)
      on_wait(max_ms);
  }
  int Calls() const { return calls_; }

  std::function<void(unsigned)> on_wait;

 private:
  int calls_ = 0;
};

// Time as the test sets it.
class ManualClock final : public platform::Clock {
 public:
  uint32_t GetTickCount() override { return now_; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t now) { now_ = now; }

 private:
  uint32_t now_ = 1'000'000;
};

// Records power-off requests instead of making them.
class RecordingPower final : public platform::SystemPower {
 public:
  void PowerOff() override { ++requests; }
  int requests = 0;
};

}  // namespace tolvane::testing
