#include "instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace tolvane::posix {

InstanceLock::InstanceLock(const std::string& path) : path_(path) {
  fd_.Reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd_.Valid())
    return;
  if (::flock(fd_.Get(), LOCK_EX | LOCK_NB) == 0) {
    state_ = State::First;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::AlreadyRunning;
  }
}

bool InstanceLock::Record(const Holder& holder) {
  if (state_ != State::First)
    return false;
  const std::string text =
      std::to_string(holder.process_id) + " " + std::to_string(holder.window_id) + "\n";
  return ::ftruncate(fd_.Get(), 0) == 0 &&
         ::pwrite(fd_.Get(), text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

std::optional<InstanceLock::Holder> InstanceLock::Recorded() const {
  if (!fd_.Valid())
    return std::nullopt;
  char text[64] = {};
  if (::pread(fd_.Get(), text, sizeof text - 1, 0) <= 0)
    return std::nullopt;
  long long process_id = 0;
  unsigned long long window_id = 0;
  if (std::sscanf(text, "%lld %llu", &process_id, &window_id) != 2)
    return std::nullopt;
  return Holder{process_id, window_id};
}

std::string InstanceLock::HolderName() const {
  const std::optional<Holder> holder = Recorded();
  if (!holder)
    return "another program";
  // The holder's program name, as the kernel keeps it.
  std::string name;
  if (std::FILE* comm =
          std::fopen(("/proc/" + std::to_string(holder->process_id) + "/comm").c_str(), "re")) {
    char text[64] = {};
    if (std::fgets(text, sizeof text, comm) != nullptr)
      name = text;
    std::fclose(comm);
  }
  if (!name.empty() && name.back() == '\n')
    name.pop_back();
  return (name.empty() ? "a program" : name) + " (process " + std::to_string(holder->process_id) +
         ")";
}

bool InstanceLock::HolderAlive() const {
  if (!fd_.Valid() || state_ != State::AlreadyRunning)
    return false;
  // The lock can be had only once its holder has gone; it is let go again at once.
  if (::flock(fd_.Get(), LOCK_EX | LOCK_NB) == 0) {
    ::flock(fd_.Get(), LOCK_UN);
    return false;
  }
  return errno == EWOULDBLOCK;
}

}  // namespace tolvane::posix
