#pragma once

#include "platform/process.h"

namespace tolvane::posix {

// Whether a child may outlive the program that started it.
enum class ChildLifetime {
  Independent,
  // The system kills the child when the program ends, however it ends (kill -9 included): no
  // encoder goes on unwatched.
  EndsWithProgram,
};

// Children in a process group of their own, so that stopping, pausing and resuming reach
// everything an encoder starts.
class PosixProcesses final : public platform::Processes {
 public:
  explicit PosixProcesses(ChildLifetime lifetime = ChildLifetime::Independent)
      : lifetime_(lifetime) {}
  std::unique_ptr<platform::ChildProcess> Start(const std::string& command_line,
                                                bool show_console) override;

 private:
  ChildLifetime lifetime_;
};

// Powers the machine off through systemd.
class SystemdPower final : public platform::SystemPower {
 public:
  void PowerOff() override;
};

}  // namespace tolvane::posix
