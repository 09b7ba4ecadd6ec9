#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"
#include "platform/signal.h"
#include "platform/timer.h"
#include "queue/queue.h"

namespace tolvane::settings {

// Keeps the job list file current while the program runs, so that a crash or a kill costs no
// more than the last second: whenever the queue model publishes a change of an entry (added,
// removed, moved, its state, options or tag; not the percent of a running job) the file is
// written anew with the unfinished entries, at most once per tick of `timer` (one second), and
// only while `enabled` says "Job save" is on. Written whole through a temporary file, as at the
// close; a write that fails is said through `log`.
class JobListKeeper final {
 public:
  struct Services {
    queue::Queue& queue;
    platform::FileSystem& files;
    std::string path;
    platform::Timer& timer;
    std::function<bool()> enabled;
    std::function<void(const std::string& line)> log;
  };
  explicit JobListKeeper(Services services);
  JobListKeeper(const JobListKeeper&) = delete;
  JobListKeeper& operator=(const JobListKeeper&) = delete;

  // The file must follow the queue (a change, or "Job save" turned on).
  void Request();
  // Writes the file now if a change is waiting (the timer's tick).
  void WriteNow();

 private:
  Services s_;
  platform::Subscription queue_changes_;
};

}  // namespace tolvane::settings
