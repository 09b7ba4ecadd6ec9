#include "posix_processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "unique_fd.h"

extern char** environ;

namespace tolvane::posix {

namespace {

// A file without a name in the temporary folder: written by a child, read by us, gone with the
// last descriptor.
UniqueFd AnonymousFile() {
  const char* folder = std::getenv("TMPDIR");
  const std::string where = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  UniqueFd fd(::open(where.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (fd.Valid())
    return fd;
  std::string name = where + "/tolvane-stderr-XXXXXX";
  fd.Reset(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.Valid())
    ::unlink(name.c_str());
  return fd;
}

class PosixChild final : public platform::ChildProcess {
 public:
  // A pidfd turns readable when the process ends; kernels before 5.3 have none.
  PosixChild(pid_t pid, UniqueFd error_log)
      : pid_(pid),
        end_notifier_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))),
        error_log_(std::move(error_log)) {}

  ~PosixChild() override {
    // Reap it if it is done; a child still running is left to finish on its own.
    if (!exit_code_)
      ::waitpid(pid_, nullptr, WNOHANG);
  }

  std::optional<int> ExitCode() override {
    if (exit_code_)
      return exit_code_;
    int status = 0;
    const pid_t result = ::waitpid(pid_, &status, WNOHANG);
    if (result == 0)
      return platform::kStillActive;
    if (result != pid_)
      return std::nullopt;
    if (WIFEXITED(status)) {
      const int code = WEXITSTATUS(status);
      exit_code_ = code == 255 ? platform::kExitFailure : code;
    } else if (requested_code_) {
      exit_code_ = *requested_code_;
    } else {
      exit_code_ = platform::kExitFailure;  // killed by a signal the program did not send
    }
    return exit_code_;
  }

  bool Terminate(int exit_code) override {
    if (exit_code_)
      return false;
    requested_code_ = exit_code;
    ::kill(-pid_, SIGCONT);  // a paused group must run to die
    return ::kill(-pid_, SIGKILL) == 0;
  }

  bool Suspend() override { return !exit_code_ && ::kill(-pid_, SIGSTOP) == 0; }
  bool Resume() override { return !exit_code_ && ::kill(-pid_, SIGCONT) == 0; }
  int EndNotifier() const override { return end_notifier_.Get(); }

  std::string LastErrorLine() const override {
    if (!error_log_.Valid())
      return {};
    // The tail is enough: a last line longer than this is cut at its start.
    constexpr off_t kTail = 4096;
    struct stat info {};
    if (::fstat(error_log_.Get(), &info) != 0 || info.st_size == 0)
      return {};
    const off_t from = info.st_size > kTail ? info.st_size - kTail : 0;
    std::string tail(static_cast<size_t>(info.st_size - from), '\0');
    const ssize_t read = ::pread(error_log_.Get(), tail.data(), tail.size(), from);
    tail.resize(read > 0 ? static_cast<size_t>(read) : 0);
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r'))
      tail.pop_back();
    const size_t start = tail.find_last_of('\n');
    return start == std::string::npos ? tail : tail.substr(start + 1);
  }

 private:
  pid_t pid_;
  UniqueFd end_notifier_;
  UniqueFd error_log_;  // the child's standard error: a file nobody else can open
  std::optional<int> exit_code_;
  std::optional<int> requested_code_;
};

}  // namespace

std::unique_ptr<platform::ChildProcess> PosixProcesses::Start(const std::string& command_line,
                                                              bool show_console) {
  std::vector<std::string> arguments = platform::SplitCommandLine(command_line);
  if (arguments.empty() || arguments[0].empty())
    return nullptr;
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  UniqueFd error_log;
  if (!show_console) {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    error_log = AnonymousFile();
    if (error_log.Valid()) {
      posix_spawn_file_actions_adddup2(&actions, error_log.Get(), 2);
    } else {
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);

  pid_t pid = -1;
  // A program without a folder is looked up like a shell does; the caller normally passes a
  // full path.
  const int result = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result != 0)
    return nullptr;
  return std::make_unique<PosixChild>(pid, std::move(error_log));
}

void SystemdPower::PowerOff() {
  pid_t pid = -1;
  char program[] = "systemctl";
  char verb[] = "poweroff";
  char* argv[] = {program, verb, nullptr};
  if (::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0) {
    ::waitpid(pid, nullptr, 0);
  }
}

}  // namespace tolvane::posix
