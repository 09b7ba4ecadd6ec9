#pragma once

#include <QTimer>

#include "platform/ui/timer.h"

namespace tolvane::qt {

// Runs a Timer control on the Qt event loop.
class TimerDriver final {
 public:
  explicit TimerDriver(ui::Timer& timer);

 private:
  void Sync();
  ui::Timer& timer_;
  QTimer qtimer_;
  ui::Subscription subscription_;
};

}  // namespace tolvane::qt
