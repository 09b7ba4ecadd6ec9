#include "desktop_stand_ins.h"

#include <poll.h>

#include <vector>

namespace tolvane::testing {

platform::Subscription CountingEventLoop::WatchReadable(int fd, std::function<void()> on_ready) {
  const int id = next_id_++;
  watches_->emplace(id, Watch{fd, std::move(on_ready)});
  std::weak_ptr<std::map<int, Watch>> weak = watches_;
  return platform::Subscription([weak, id] {
    if (auto watches = weak.lock())
      watches->erase(id);
  });
}

bool CountingEventLoop::Pump(std::chrono::milliseconds limit) {
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : *watches_) {
    fds.push_back({watch.fd, POLLIN, 0});
    ids.push_back(id);
  }
  if (fds.empty() || ::poll(fds.data(), fds.size(), static_cast<int>(limit.count())) <= 0)
    return false;
  for (size_t i = 0; i < fds.size(); ++i) {
    // A callback may end its own watch or others: each runs only while it is still watched.
    const auto found = watches_->find(ids[i]);
    if ((fds[i].revents & (POLLIN | POLLHUP)) != 0 && found != watches_->end()) {
      const std::function<void()> on_ready = found->second.on_ready;
      on_ready();
    }
  }
  return true;
}

}  // namespace tolvane::testing
