#include "xdg_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tolvane::posix {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? value : "";
}

std::string Home() {
  if (const std::string home = Variable("HOME"); !home.empty())
    return home;
  if (const passwd* entry = ::getpwuid(::getuid()))
    return entry->pw_dir;
  return "/tmp";
}

std::string OrDefault(const char* variable, const std::string& fallback) {
  const std::string value = Variable(variable);
  return (value.empty() ? fallback : value) + "/tolvane";
}

}  // namespace

XdgFolders XdgFolders::FromEnvironment() {
  XdgFolders folders;
  folders.config = OrDefault("XDG_CONFIG_HOME", Home() + "/.config");
  folders.state = OrDefault("XDG_STATE_HOME", Home() + "/.local/state");
  const std::string runtime = Variable("XDG_RUNTIME_DIR");
  folders.runtime =
      runtime.empty() ? "/tmp/tolvane-" + std::to_string(::getuid()) : runtime + "/tolvane";
  const std::string data = Variable("XDG_DATA_HOME");
  folders.data = data.empty() ? Home() + "/.local/share" : data;
  return folders;
}

bool MakeFolders(const std::string& path, unsigned mode) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), 0755);
  }
  const int made = ::mkdir(path.c_str(), mode) == 0 ? 0 : errno;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return true;
  // The cause in errno: the make's, or something else that is there in the folder's place.
  errno = made == 0 || made == EEXIST ? ENOTDIR : made;
  return false;
}

bool MakePrivateFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0)
    MakeFolders(path.substr(0, slash), 0755);
  ::mkdir(path.c_str(), 0700);
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
    return false;
  return (info.st_mode & 0077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

}  // namespace tolvane::posix
