#include "xdg_data_files.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "errno_result.h"
#include "unique_fd.h"
#include "write_all.h"
#include "xdg_folders.h"

extern "C" char** environ;

namespace tolvane::posix {

namespace {

constexpr std::string_view kApplications = "applications/";

// Runs update-desktop-database on `folder`, so that file managers see the entries' types at once
// (mimeinfo.cache); where the tool is not installed, the desktop builds its cache itself. A tool
// that hangs is ended after five seconds: it never holds the window.
void UpdateDesktopDatabase(const std::string& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  char program[] = "update-desktop-database";
  char quiet[] = "-q";
  std::string target = folder;
  char* arguments[] = {program, quiet, target.data(), nullptr};
  pid_t pid = -1;
  const int failed = ::posix_spawnp(&pid, program, &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0)
    return;
  for (int waited = 0; ::waitpid(pid, nullptr, WNOHANG) == 0; ++waited) {
    if (waited == 500) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      return;
    }
    ::usleep(10'000);
  }
}

}  // namespace

platform::Result XdgDataFiles::Write(const std::string& relative_path, const std::string& content,
                                     bool executable) {
  const std::string path = data_folder_ + "/" + relative_path;
  const std::string folder = path.substr(0, path.rfind('/'));
  if (!MakeFolders(folder, 0755))
    return ErrnoResult(false);
  std::string temporary = path + ".XXXXXX";
  UniqueFd fd(::mkstemp(temporary.data()));
  if (!fd.Valid())
    return ErrnoResult(false);
  const bool whole = WriteAll(fd.Get(), content) &&
                     ::fchmod(fd.Get(), executable ? 0755 : 0644) == 0 && ::fsync(fd.Get()) == 0 &&
                     fd.Close();
  if (!whole || ::rename(temporary.c_str(), path.c_str()) != 0) {
    KeepingErrno([&] { ::unlink(temporary.c_str()); });
    return ErrnoResult(false);
  }
  if (relative_path.starts_with(kApplications))
    UpdateDesktopDatabase(folder);
  return platform::Result::Done();
}

platform::Result XdgDataFiles::Remove(const std::string& relative_path) {
  const std::string path = data_folder_ + "/" + relative_path;
  const bool removed = ::unlink(path.c_str()) == 0;
  if (!removed && errno != ENOENT)
    return ErrnoResult(false);
  if (removed && relative_path.starts_with(kApplications))
    UpdateDesktopDatabase(path.substr(0, path.rfind('/')));
  return platform::Result::Done();
}

}  // namespace tolvane::posix
