// A fault injector for the encoder's tests, loaded with LD_PRELOAD: close() or fsync() of a
// descriptor whose file name ends in TOLVANE_FAIL_SUFFIX fails with EIO, as a network or FUSE
// file system reports a write it could not complete; write() to it fails with ENOSPC, as on a
// full disk. TOLVANE_FAIL_CALL names the call ("close", "fsync" or "write"). close() still
// closes the descriptor.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Targeted(int fd, const char* call) {
  const char* wanted_call = std::getenv("TOLVANE_FAIL_CALL");
  const char* suffix = std::getenv("TOLVANE_FAIL_SUFFIX");
  if (wanted_call == nullptr || suffix == nullptr || std::strcmp(wanted_call, call) != 0)
    return false;
  char name[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), name, sizeof name - 1);
  if (length <= 0)
    return false;
  const std::string path(name, static_cast<size_t>(length));
  const std::string end(suffix);
  return path.size() >= end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int close(int fd) {
  static const auto real_close = Next<int (*)(int)>("close");
  const bool fail = Targeted(fd, "close");
  const int result = real_close(fd);
  if (fail) {
    errno = EIO;
    return -1;
  }
  return result;
}

extern "C" int fsync(int fd) {
  static const auto real_fsync = Next<int (*)(int)>("fsync");
  if (Targeted(fd, "fsync")) {
    errno = EIO;
    return -1;
  }
  return real_fsync(fd);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
  static const auto real_write = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (Targeted(fd, "write")) {
    errno = ENOSPC;
    return -1;
  }
  return real_write(fd, buffer, count);
}
