#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace tolvane::testing {

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!changes.contains(text.substr(0, text.find('='))))
      variables.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value != kUnset)
      variables.push_back(name + "=" + value);
  }
  return variables;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::string& output_file, const std::string& working_folder) {
  std::vector<std::string> argv_text{program};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argv_text)
    argv.push_back(text.data());
  argv.push_back(nullptr);

  std::vector<std::string> env_text = EnvironmentWith(environment);
  // Each program gets a runtime folder of its own unless the test shares one on purpose: two
  // copies of the program in one runtime folder are one running copy.
  if (!environment.contains("XDG_RUNTIME_DIR")) {
    char folder[] = "/tmp/tolvane-run-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
      throw std::runtime_error("cannot make a runtime folder");
    private_runtime_ = folder;
    env_text.push_back("XDG_RUNTIME_DIR=" + private_runtime_);
  }
  std::vector<char*> envp;
  for (std::string& text : env_text)
    envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!working_folder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
  if (!output_file.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  // A group of its own: whatever it starts (a bus launcher's bus, say) ends with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const int spawned =
      ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    throw std::runtime_error("cannot start " + program);
}

ChildProcess::~ChildProcess() {
  // The test leaves nothing running: the program, and what it started in its group.
  ::kill(-pid_, SIGKILL);
  if (!exit_code_)
    ::waitpid(pid_, nullptr, 0);
  if (!private_runtime_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(private_runtime_, ignored);
  }
}

void ChildProcess::Signal(int signal_number) const {
  ::kill(pid_, signal_number);
}

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds limit) {
  if (exit_code_)
    return exit_code_;
  Eventually(
      [&] {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_)
          return false;
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
      },
      limit);
  return exit_code_;
}

}  // namespace tolvane::testing
