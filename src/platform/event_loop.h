#pragma once

#include <functional>

#include "signal.h"

namespace tolvane::platform {

// The program's message loop, as far as the logic needs it.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Handles the events that are waiting (input, timers, sockets) and returns.
  virtual void ProcessMessages() = 0;
  // Waits up to `max_ms` for events to arrive and handles them.
  virtual void WaitForMessages(unsigned max_ms) = 0;
  // Runs `task` from the loop, after the event being handled now; tasks run in posting order.
  virtual void Post(std::function<void()> task) = 0;
  // Calls `on_ready` from the loop while `fd` is readable, until the returned subscription is
  // reset or destroyed (which `on_ready` itself may do). The descriptor stays the caller's and
  // must outlive the subscription.
  [[nodiscard]] virtual Subscription WatchReadable(int fd, std::function<void()> on_ready) = 0;
};

}  // namespace tolvane::platform
