#pragma once

#include <signal.h>

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "unique_fd.h"

namespace tolvane::posix {

// Turns signals into bytes on a pipe that an event loop watches, since a signal handler may do no
// more than write to a descriptor: each byte is the number of a signal that arrived. The signals
// are caught while the pipe exists and handled as before once it is gone. One pipe at a time in a
// process: the handler writes to the one that exists.
class SignalPipe final {
 public:
  explicit SignalPipe(std::initializer_list<int> caught);
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  // The end to watch for reading; -1 when no pipe could be made (the signals are then left as
  // they were).
  int ReadEnd() const { return read_end_.Get(); }
  // The latest of the signals that arrived since the last call; nullopt when none did. Never
  // waits.
  std::optional<int> TakeLatest();

 private:
  UniqueFd read_end_;
  UniqueFd write_end_;
  std::vector<std::pair<int, struct sigaction>> earlier_;
};

}  // namespace tolvane::posix
