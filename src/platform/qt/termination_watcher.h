#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <optional>

namespace tolvane::qt {

// Turns the signals that arrive on a descriptor (a signal pipe's read end) and the end of the
// desktop session into one call on the event loop, so that they close the window by its normal
// path; the call gets the signal's number (SIGTERM for the session's end).
class TerminationWatcher final {
 public:
  // `take_signal` gives the latest signal that arrived once `signal_fd` turns readable.
  TerminationWatcher(int signal_fd, std::function<std::optional<int>()> take_signal,
                     std::function<void(int signal_number)> on_termination);
  TerminationWatcher(const TerminationWatcher&) = delete;
  TerminationWatcher& operator=(const TerminationWatcher&) = delete;

 private:
  std::function<std::optional<int>()> take_signal_;
  std::function<void(int)> on_termination_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tolvane::qt
