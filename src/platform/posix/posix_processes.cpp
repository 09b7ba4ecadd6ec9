#include "posix_processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
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

// The program to run: a name with a folder as given, a bare name looked up along PATH as a
// shell does (the lookup happens before the fork, where it may allocate).
std::string ProgramPath(const std::string& name) {
  if (name.find('/') != std::string::npos)
    return name;
  const char* search = std::getenv("PATH");
  std::string folders = search != nullptr ? search : "/usr/local/bin:/usr/bin:/bin";
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos)
      end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string path = folder + "/" + name;
    if (::access(path.c_str(), X_OK) == 0)
      return path;
    start = end + 1;
  }
  return name;
}

}  // namespace

std::unique_ptr<platform::ChildProcess> PosixProcesses::Start(const std::string& command_line,
                                                              bool show_console) {
  std::vector<std::string> arguments = platform::SplitCommandLine(command_line);
  if (arguments.empty() || arguments[0].empty())
    return nullptr;
  const std::string program = ProgramPath(arguments[0]);
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  UniqueFd error_log;
  if (!show_console)
    error_log = AnonymousFile();
  // The child tells through this pipe why it could not run the program; it closes unread when
  // the program runs.
  int report[2] = {-1, -1};
  if (::pipe2(report, O_CLOEXEC) != 0)
    return nullptr;
  const UniqueFd report_read(report[0]);
  UniqueFd report_write(report[1]);
  const pid_t parent = ::getpid();
  const bool ends_with_program = lifetime_ == ChildLifetime::EndsWithProgram;

  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls that are safe between fork and exec from here on.
    if (ends_with_program && (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)) {
      ::_exit(127);
    }
    ::setpgid(0, 0);
    for (const int signal_number : {SIGTERM, SIGINT, SIGPIPE})
      ::signal(signal_number, SIG_DFL);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (!show_console) {
      const int nothing = ::open("/dev/null", O_RDWR);
      ::dup2(nothing, 0);
      ::dup2(nothing, 1);
      ::dup2(error_log.Valid() ? error_log.Get() : nothing, 2);
    }
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t told = ::write(report_write.Get(), &error, sizeof error);
    ::_exit(127);
  }
  report_write.Reset();
  if (pid < 0)
    return nullptr;
  int error = 0;
  ssize_t told = 0;
  do {
    told = ::read(report_read.Get(), &error, sizeof error);
  } while (told < 0 && errno == EINTR);
  if (told > 0) {
    ::waitpid(pid, nullptr, 0);
    return nullptr;
  }
  // The group is set on both sides, so that a Terminate right after the start reaches it.
  ::setpgid(pid, pid);
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
