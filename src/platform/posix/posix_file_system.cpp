#include "posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "errno_result.h"
#include "unique_fd.h"

namespace tolvane::posix {

namespace {

class PosixFile final : public platform::File {
 public:
  explicit PosixFile(UniqueFd fd) : fd_(std::move(fd)) {}

  int64_t Size() override {
    struct stat info {};
    return ::fstat(fd_.Get(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
  }

  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    int64_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < count) {
      const ssize_t n = ::pread(fd_.Get(), bytes + done, static_cast<size_t>(count - done),
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        break;
      done += n;
    }
    return done;
  }

  bool WriteAt(int64_t offset, const void* buffer, int64_t count) override {
    int64_t done = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    while (done < count) {
      const ssize_t n = ::pwrite(fd_.Get(), bytes + done, static_cast<size_t>(count - done),
                                 static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        return false;
      done += n;
    }
    return true;
  }

  bool Sync() override { return ::fsync(fd_.Get()) == 0; }

  bool Truncate(int64_t size) override {
    return ::ftruncate(fd_.Get(), static_cast<off_t>(size)) == 0;
  }

 private:
  UniqueFd fd_;
};

bool IsKind(const std::string& path, mode_t kind) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

// The entries of a folder of one kind (S_IFREG or S_IFDIR, a link counting as what it leads
// to) whose names match `pattern` (every name when null), sorted by name. The listing tells most
// kinds by itself; only links and file systems that do not say are asked with a stat.
std::vector<std::string> ListEntries(const std::string& folder, mode_t kind, const char* pattern) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return names;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    if (pattern != nullptr && !platform::MatchesPattern(name, pattern))
      continue;
    mode_t found = entry->d_type == DT_REG ? S_IFREG : entry->d_type == DT_DIR ? S_IFDIR : 0;
    struct stat info {};
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
      found = ::stat((prefix + entry->d_name).c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
    if (found == kind)
      names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Copies a regular file to a new file `to`, synced; on any failure nothing is left at `to`.
bool CopyWhole(const std::string& from, const std::string& to) {
  const UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!in.Valid() || ::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return false;
  UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777));
  if (!out.Valid())
    return false;
  bool ok = true;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      const ssize_t put = ::write(out.Get(), buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR)
        continue;
      ok = put > 0;
      done += put > 0 ? put : 0;
    }
    if (!ok)
      break;
  }
  ok = ok && ::fsync(out.Get()) == 0;
  ok = ::close(out.Release()) == 0 && ok;
  if (!ok)
    KeepingErrno([&] { ::unlink(to.c_str()); });
  return ok;
}

}  // namespace

std::unique_ptr<platform::File> PosixFileSystem::Open(const std::string& path,
                                                      platform::OpenMode mode) {
  // A FIFO opened for reading would wait for a writer: nothing here ever waits.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case platform::OpenMode::Read:
      flags |= O_RDONLY;
      break;
    case platform::OpenMode::ReadWrite:
      flags |= O_RDWR;
      break;
    case platform::OpenMode::CreateTruncate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  UniqueFd fd(::open(path.c_str(), flags, 0644));
  struct stat info {};
  if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return nullptr;
  // Reads and writes of a regular file never wait; the flag only kept the open from blocking.
  ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixFile>(std::move(fd));
}

std::optional<platform::FileHead> PosixFileSystem::ReadHead(const std::string& path,
                                                            int64_t max_bytes) {
  // One open that never waits (a FIFO), one fstat, one read, one close: a folder scan costs the
  // file system no more.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  platform::FileHead head;
  head.size = info.st_size;
  head.bytes.resize(static_cast<size_t>(std::clamp<int64_t>(max_bytes, 0, info.st_size)));
  ssize_t got = -1;
  do {
    got = ::pread(fd.Get(), head.bytes.data(), head.bytes.size(), 0);
  } while (got < 0 && errno == EINTR);
  head.bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return head;
}

bool PosixFileSystem::Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::SameFile(const std::string& a, const std::string& b) {
  if (a == b)
    return true;
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  return IsKind(path, S_IFREG);
}

bool PosixFileSystem::FolderExists(const std::string& path) {
  return IsKind(path, S_IFDIR);
}

bool PosixFileSystem::CanEnterFolder(const std::string& path) {
  return IsKind(path, S_IFDIR) && ::access(path.c_str(), X_OK) == 0;
}

platform::Result PosixFileSystem::Delete(const std::string& path) {
  return ErrnoResult(::unlink(path.c_str()) == 0);
}

platform::Result PosixFileSystem::DeleteFolder(const std::string& path) {
  return ErrnoResult(::rmdir(path.c_str()) == 0);
}

platform::Result PosixFileSystem::Move(const std::string& from, const std::string& to) {
  // Like the classic move: an existing target is not replaced, also not one that another
  // program puts there at the same moment.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return platform::Result::Done();
  if (errno == EINVAL || errno == ENOSYS) {
    // A file system without that rename: a hard link fails as well when the target exists.
    if (::link(from.c_str(), to.c_str()) == 0)
      return ErrnoResult(::unlink(from.c_str()) == 0);
    if (errno == EEXIST)
      return ErrnoResult(false);
    // Nor hard links (FAT, some network file systems): the classic check, then the rename.
    if (errno != EXDEV) {
      if (::access(to.c_str(), F_OK) == 0)
        return platform::Result::Failed(std::generic_category().message(EEXIST));
      return ErrnoResult(::rename(from.c_str(), to.c_str()) == 0);
    }
  }
  if (errno != EXDEV)
    return ErrnoResult(false);
  if (!CopyWhole(from, to))
    return ErrnoResult(false);
  return ErrnoResult(::unlink(from.c_str()) == 0);
}

platform::Result PosixFileSystem::Replace(const std::string& from, const std::string& to) {
  return ErrnoResult(::rename(from.c_str(), to.c_str()) == 0);
}

platform::Result PosixFileSystem::CreateFolder(const std::string& path) {
  return ErrnoResult(::mkdir(path.c_str(), 0755) == 0);
}

platform::Result PosixFileSystem::SyncFolder(const std::string& path) {
  const UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return ErrnoResult(folder.Valid() && ::fsync(folder.Get()) == 0);
}

std::optional<std::string> PosixFileSystem::WhyCannotWriteIn(const std::string& folder) {
  if (::access(folder.c_str(), W_OK | X_OK) == 0)
    return std::nullopt;
  return std::generic_category().message(errno);
}

std::optional<std::string> PosixFileSystem::WhyUnreadable(const std::string& path) {
  const auto system_words = [](int error) { return std::generic_category().message(error); };
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return errno == ENOENT || errno == ENOTDIR ? std::nullopt : std::optional(system_words(errno));
  if (S_ISDIR(info.st_mode)) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr)
      return system_words(errno);
    ::closedir(folder);
    return std::nullopt;
  }
  // O_NONBLOCK: a FIFO with no writer opens at once.
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.Valid())
    return system_words(errno);
  return std::nullopt;
}

std::vector<std::string> PosixFileSystem::ListFiles(const std::string& folder,
                                                    const std::string& pattern) {
  return ListEntries(folder, S_IFREG, pattern.c_str());
}

std::vector<std::string> PosixFileSystem::ListFolders(const std::string& folder) {
  return ListEntries(folder, S_IFDIR, nullptr);
}

std::optional<std::string> PosixFileSystem::CanonicalPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return std::nullopt;
  std::string result = resolved;
  std::free(resolved);
  return result;
}

std::optional<std::string> PosixFileSystem::StoredName(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0)
    return std::nullopt;
  // POSIX names are exact: the name as given is the name as stored.
  std::string name = path;
  while (name.size() > 1 && name.back() == '/')
    name.pop_back();
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace tolvane::posix
