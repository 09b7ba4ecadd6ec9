#pragma once

namespace tolvane::ui {

// The program's message loop, as far as the logic needs it.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Handles the events that are waiting (input, timers, sockets) and returns.
  virtual void ProcessMessages() = 0;
  // Waits up to `max_ms` for events to arrive and handles them.
  virtual void WaitForMessages(unsigned max_ms) = 0;
};

}  // namespace tolvane::ui
