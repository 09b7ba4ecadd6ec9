// tolvane-batch: the window's encoding without a window, several files at once. It links no Qt.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <thread>

#include "batch_options.h"
#include "batch_run.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/poll_event_loop.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_volumes.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/signal_pipe.h"
#include "platform/posix/xdg_folders.h"
#include "platform/version.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "tags/genres.h"

namespace {

// A resized terminal only has to wake the run's loop, which redraws the bar at its new width.
void OnResize(int) {}

// The terminal's width in columns, or 0 when standard output is no terminal.
int TerminalColumns() {
  winsize size{};
  return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

// Where this run writes each MP3 until it is complete: named for this machine and process.
tolvane::cli::Staging ThisRunsStaging() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0)
    host[0] = '\0';
  return {host, ::getpid(), [](int64_t process_id) {
            return ::kill(static_cast<pid_t>(process_id), 0) == 0 || errno == EPERM;
          }};
}

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  const std::string path = length > 0 ? std::string(buffer, static_cast<size_t>(length)) : "";
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tolvane;
  const posix::XdgFolders folders = posix::XdgFolders::FromEnvironment();
  // The window's settings give the defaults, so both programs agree.
  settings::Settings window;
  {
    posix::RegistryFile registry(settings::UserRegistryPath(folders.config), "HKEY_CURRENT_USER");
    window = settings::LoadSettings(registry, settings::kSettingsKey, {}, {}).value;
  }
  const unsigned cores = std::thread::hardware_concurrency();
  const auto parsed = cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc),
                                          cli::DefaultOptions(window, static_cast<int>(cores)));
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    std::cerr << *problem << '\n';
    return cli::kUsageError;
  }
  const cli::BatchOptions& options = std::get<cli::BatchOptions>(parsed);
  if (options.help) {
    std::cout << cli::HelpText();
    return 0;
  }
  if (options.list_genres) {
    for (const std::string_view genre : tags::GenresByNumber())
      std::cout << genre << '\n';
    return 0;
  }
  if (options.version) {
    std::cout << "tolvane-batch " TOLVANE_RELEASE "\n";
    return 0;
  }

  // Ctrl+C and SIGTERM reach the run through a pipe its loop watches.
  const posix::SignalPipe interruption{SIGINT, SIGTERM};
  struct sigaction resize {};
  resize.sa_handler = OnResize;
  ::sigemptyset(&resize.sa_mask);
  ::sigaction(SIGWINCH, &resize, nullptr);
  // The window's saved queue has one consumer at a time: the window that runs holds it.
  const std::string job_list = settings::JobListPath(folders.state, "tolvane");
  std::optional<posix::InstanceLock> queue_lock;
  if (options.continue_list && !options.dry_run) {
    posix::MakeFolders(folders.state, 0700);
    queue_lock.emplace(settings::JobListLockPath(job_list));
    if (queue_lock->GetState() == posix::InstanceLock::State::AlreadyRunning) {
      std::cerr << "tolvane-batch: the saved queue " << job_list << " is in use by "
                << queue_lock->HolderName() << '\n';
      return cli::kSomeNotEncoded;
    }
    queue_lock->Record({::getpid(), 0});
  }
  posix::PosixFileSystem files;
  const platform::Paths paths(platform::PathStyle::Posix);
  posix::PosixVolumes volumes;
  // Encoders end with this program, however it ends: none goes on writing unwatched.
  posix::PosixProcesses processes(posix::ChildLifetime::EndsWithProgram);
  posix::MonotonicClock clock;
  posix::PollEventLoop loop;
  const posix::ProcessEnvironment environment;
  // A dumb terminal cannot redraw a line in place: it gets the plain lines of a log.
  const char* term = std::getenv("TERM");
  const bool terminal =
      ::isatty(STDOUT_FILENO) == 1 && (term == nullptr || std::string_view(term) != "dumb");
  cli::ConsoleReport report(std::cout, terminal, options.quiet, TerminalColumns);
  cli::BatchRun run(options,
                    {files, paths, volumes, processes, clock, loop, environment, ProgramFolder(),
                     job_list, interruption.ReadEnd(), ThisRunsStaging()},
                    report);
  return run.Run();
}
