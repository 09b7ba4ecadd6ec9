#include "xdg_data_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "unique_fd.h"
#include "write_all.h"
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
  const bool whole = WriteAll(fd.Get(), content) &&
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
