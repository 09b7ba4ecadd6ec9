#include "poll_event_loop.h"

#include <poll.h>

#include <vector>

namespace tolvane::posix {

void PollEventLoop::ProcessMessages() {
  RunPosted();
  RunReadable(0);
}

void PollEventLoop::WaitForMessages(unsigned max_ms) {
  if (!RunPosted())
    RunReadable(max_ms);
}

void PollEventLoop::Post(std::function<void()> task) {
  posted_.push_back(std::move(task));
}

platform::Subscription PollEventLoop::WatchReadable(int fd, std::function<void()> on_ready) {
  const int id = next_id_++;
  watches_->emplace(id, Watch{fd, std::move(on_ready)});
  return platform::Subscription([weak = std::weak_ptr(watches_), id] {
    if (const auto watches = weak.lock())
      watches->erase(id);
  });
}

bool PollEventLoop::RunPosted() {
  if (posted_.empty())
    return false;
  // Tasks posted by these run at the next turn, after the descriptors had their say.
  std::deque<std::function<void()>> now;
  now.swap(posted_);
  for (const std::function<void()>& task : now)
    task();
  return true;
}

bool PollEventLoop::RunReadable(unsigned max_ms) {
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : *watches_) {
    fds.push_back({watch.fd, POLLIN, 0});
    ids.push_back(id);
  }
  // A signal ends the wait with EINTR: the caller's turn comes round at once.
  if (::poll(fds.data(), fds.size(), static_cast<int>(max_ms)) <= 0)
    return false;
  for (size_t i = 0; i < fds.size(); ++i) {
    // A callback may end its own watch or others: each runs only while it is still watched.
    const auto found = watches_->find(ids[i]);
    if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && found != watches_->end()) {
      const std::function<void()> on_ready = found->second.on_ready;
      on_ready();
    }
  }
  return true;
}

}  // namespace tolvane::posix
