#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace tolvane::qt {

// Turns SIGTERM, SIGINT and the end of the desktop session into one call on the event loop, so
// that they close the window by its normal path; the call gets the signal's number (SIGTERM for
// the session's end). Only one watcher may exist at a time.
class TerminationWatcher final {
 public:
  explicit TerminationWatcher(std::function<void(int signal_number)> on_termination);
  ~TerminationWatcher();
  TerminationWatcher(const TerminationWatcher&) = delete;
  TerminationWatcher& operator=(const TerminationWatcher&) = delete;

 private:
  std::function<void(int)> on_termination_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tolvane::qt
