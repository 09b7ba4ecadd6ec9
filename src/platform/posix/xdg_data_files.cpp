#include "xdg_data_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "unique_fd.h"
#include "xdg_folders.h"

namespace tolvane::posix {

bool XdgDataFiles::Write(const std::string& relative_path, const std::string& content,
                         bool executable) {
  const std::string path = data_folder_ + "/" + relative_path;
  const std::string folder = path.substr(0, path.rfind('/'));
  if (!MakeFolders(folder, 0755))
    return false;
  std::string temporary = path + ".XXXXXX";
  UniqueFd fd(::mkstemp(temporary.data()));
  if (!fd.Valid())
    return false;
  size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd.Get(), content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    written += static_cast<size_t>(n);
  }
  const bool whole = written == content.size() &&
                     ::fchmod(fd.Get(), executable ? 0755 : 0644) == 0 && ::fsync(fd.Get()) == 0 &&
                     fd.Close();
  if (!whole || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool XdgDataFiles::Remove(const std::string& relative_path) {
  const std::string path = data_folder_ + "/" + relative_path;
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tolvane::posix
