#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "unique_fd.h"

namespace tolvane::posix {

// One running copy per executable name: a lock file held with an exclusive flock for the first
// copy's whole life. The kernel drops the lock when that process dies, so a crash leaves no
// stale lock. The file holds the first copy's process id and window id.
class InstanceLock final {
 public:
  enum class State { First, AlreadyRunning, Unavailable };
  struct Holder {
    int64_t process_id = 0;
    uint64_t window_id = 0;
  };

  explicit InstanceLock(const std::string& path);

  State GetState() const { return state_; }
  // The first copy records itself.
  bool Record(const Holder& holder);
  // What the first copy recorded, read by a later one.
  std::optional<Holder> Recorded() const;
  // For a later copy: whether the first copy still holds the lock, that is, still runs.
  bool HolderAlive() const;
  // For a later copy: who holds the lock, as a user reads it: "tolvane-batch (process 1234)";
  // "another program" when the holder has not recorded itself (yet).
  std::string HolderName() const;

 private:
  std::string path_;
  UniqueFd fd_;
  State state_ = State::Unavailable;
};

}  // namespace tolvane::posix
