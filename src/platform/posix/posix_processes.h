#pragma once

#include "platform/process.h"

namespace tolvane::posix {

// Children in a process group of their own, so that stopping, pausing and resuming reach
// everything an encoder starts.
class PosixProcesses final : public platform::Processes {
 public:
  std::unique_ptr<platform::ChildProcess> Start(const std::string& command_line,
                                                bool show_console) override;
};

// Powers the machine off through systemd.
class SystemdPower final : public platform::SystemPower {
 public:
  void PowerOff() override;
};

}  // namespace tolvane::posix
