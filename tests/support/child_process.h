#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::testing {

// A value that leaves the variable out of a child's environment.
inline constexpr const char* kUnset = "\x01(unset)";

// This process's environment ("NAME=value" each) with `changes` made (kUnset takes one away).
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& changes);

// A program started by a test, with extra environment variables (kUnset takes one away). The
// destructor kills it if it still runs.
class ChildProcess final {
 public:
  // With `output_file` set, standard output and error go to that file; with `working_folder`
  // set, the program starts there.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment = {},
               const std::string& output_file = {}, const std::string& working_folder = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  void Signal(int signal_number) const;
  // The exit code once it ended within `limit`; nullopt while it still runs. A death by signal
  // reads as 128 + the signal's number.
  std::optional<int> WaitFor(std::chrono::milliseconds limit);

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
  std::string private_runtime_;
};

// The bound of a wait for something to happen: reached only by a real hang, never by a loaded
// machine running the sanitizer build.
inline constexpr std::chrono::seconds kHangLimit{60};

// Polls `condition` every 20 ms until it holds or `limit` passes.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    struct timespec pause {
      0, 20'000'000
    };
    nanosleep(&pause, nullptr);
  }
  return true;
}

}  // namespace tolvane::testing
