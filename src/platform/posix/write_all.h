#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace tolvane::posix {

// Writes every byte, going on after a short write or an interrupted call; false on an error.
inline bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace tolvane::posix
