#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_volumes.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/signal_pipe.h"
#include "platform/posix/xdg_folders.h"
#include "platform/qt/platform_services.h"
#include "platform/qt/termination_watcher.h"
#include "platform/ui/application.h"
#include "startup.h"

namespace tolvane::app {

// The running program: the system services it chooses, the check for a copy already running
// (which then gets the names), and the window with its intake on the message loop. main() makes
// the Qt application, then one Program, and runs it. Signals are caught from its construction
// on: an open box is closed at once (nobody is there to answer it), and the window closes once it
// exists and the code that asked has gone on.
class Program final {
 public:
  Program(std::string executable, std::vector<std::string> arguments);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The exit code: 0 after a hand-off to the running copy (1 when it went before taking every
  // name), or the window's when it closed.
  int Run();

 private:
  void OnTermination(int signal_number);
  // A copy runs already: the names went to it, and this copy ends with the code given (0, or 1
  // when the running copy did not take them all). nullopt: this copy is the first.
  // A signal ends the wait for the running copy with 128 and its number.
  std::optional<int> HandOff();
  static constexpr int64_t kSayWaitingMs = 2000;
  static constexpr int kRetryMs = 100;
  int RunWindow(const StartupPlan& plan);

  std::string executable_;
  std::vector<std::string> arguments_;
  qt::QtDialogs dialogs_;
  std::function<void()> close_window_;
  bool termination_pending_ = false;
  int termination_signal_ = 0;
  posix::SignalPipe signals_{SIGTERM, SIGINT};
  qt::TerminationWatcher termination_{signals_.ReadEnd(), [this] { return signals_.TakeLatest(); },
                                      [this](int signal_number) { OnTermination(signal_number); }};
  qt::QtEventLoop loop_;
  qt::QtWorkArea work_area_;
  posix::PosixFileSystem files_;
  const platform::Paths paths_{platform::PathStyle::Posix};
  posix::PosixVolumes volumes_;
  const posix::XdgFolders folders_ = posix::XdgFolders::FromEnvironment();
  const posix::ProcessEnvironment environment_;
  posix::MonotonicClock clock_;
  posix::PosixProcesses processes_;
  posix::SystemdPower power_;
  ui::Application application_{loop_};
  std::optional<posix::InstanceLock> instance_;
  std::string intake_path_;
};

}  // namespace tolvane::app
