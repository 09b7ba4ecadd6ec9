#pragma once

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

// A message loop with nothing waiting; counts how often it was asked.
class CountingEventLoop final : public ui::EventLoop {
 public:
  void ProcessMessages() override { ++calls_; }
  int Calls() const { return calls_; }

 private:
  int calls_ = 0;
};

}  // namespace tolvane::testing
