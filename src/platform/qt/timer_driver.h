#pragma once

#include <QTimer>

#include "platform/timer.h"

namespace tolvane::qt {

// Runs a Timer control on the Qt event loop.
class TimerDriver final {
 public:
  explicit TimerDriver(platform::Timer& timer);

 private:
  void Sync();
  platform::Timer& timer_;
  QTimer qtimer_;
  platform::Subscription subscription_;
};

}  // namespace tolvane::qt
