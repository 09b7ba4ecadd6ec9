#include "timer_driver.h"

namespace tolvane::qt {

TimerDriver::TimerDriver(platform::Timer& timer) : timer_(timer) {
  QObject::connect(&qtimer_, &QTimer::timeout, [this] { timer_.Fire(); });
  subscription_ = timer_.Changed.Connect([this] { Sync(); });
  Sync();
}

void TimerDriver::Sync() {
  qtimer_.setInterval(static_cast<int>(timer_.Interval()));
  if (timer_.Enabled() && !qtimer_.isActive())
    qtimer_.start();
  if (!timer_.Enabled())
    qtimer_.stop();
}

}  // namespace tolvane::qt
