#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "platform/event_loop.h"

namespace tolvane::posix {

// The message loop of a program without a window: posted tasks, and descriptors watched with
// poll(2). A signal that arrives while it waits ends the wait early, so a handler that only has to
// wake the program (a resized terminal) needs nothing more.
class PollEventLoop final : public platform::EventLoop {
 public:
  // Runs what was posted and what is readable now, without waiting.
  void ProcessMessages() override;
  // Runs what was posted; when nothing was, waits up to `max_ms` for a watched descriptor to turn
  // readable and runs its callback.
  void WaitForMessages(unsigned max_ms) override;
  void Post(std::function<void()> task) override;
  platform::Subscription WatchReadable(int fd, std::function<void()> on_ready) override;

  // Waits up to `max_ms` for watched descriptors to turn readable and runs their callbacks;
  // false when none did in time.
  bool RunReadable(unsigned max_ms);
  // How many descriptors are watched.
  int WatchCount() const { return static_cast<int>(watches_->size()); }

 private:
  struct Watch {
    int fd;
    std::function<void()> on_ready;
  };
  bool RunPosted();

  std::deque<std::function<void()>> posted_;
  int next_id_ = 0;
  std::shared_ptr<std::map<int, Watch>> watches_ = std::make_shared<std::map<int, Watch>>();
};

}  // namespace tolvane::posix
