#pragma once

#include <cerrno>
#include <system_error>

#include "platform/result.h"

namespace tolvane::posix {

// Done, or failed with the words of the error in errno.
inline platform::Result ErrnoResult(bool done) {
  return done ? platform::Result::Done()
              : platform::Result::Failed(std::generic_category().message(errno));
}

// Runs `cleanup` (an unlink after a failed write) without losing the cause in errno.
template <typename Cleanup>
void KeepingErrno(Cleanup&& cleanup) {
  const int error = errno;
  cleanup();
  errno = error;
}

}  // namespace tolvane::posix
