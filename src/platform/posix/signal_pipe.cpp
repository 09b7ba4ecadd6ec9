#include "signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace tolvane::posix {

namespace {

int write_end = -1;

void OnSignal(int signal_number) {
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const ssize_t written = ::write(write_end, &byte, 1);
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> caught) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
    return;
  read_end_.Reset(ends[0]);
  write_end_.Reset(ends[1]);
  write_end = ends[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal_number : caught) {
    struct sigaction earlier {};
    if (::sigaction(signal_number, &action, &earlier) == 0)
      earlier_.emplace_back(signal_number, earlier);
  }
}

SignalPipe::~SignalPipe() {
  for (const auto& [signal_number, earlier] : earlier_)
    ::sigaction(signal_number, &earlier, nullptr);
  if (write_end == write_end_.Get())
    write_end = -1;
}

std::optional<int> SignalPipe::TakeLatest() {
  std::optional<int> latest;
  char bytes[16];
  for (ssize_t n = 0; read_end_.Valid() && (n = ::read(read_end_.Get(), bytes, sizeof bytes)) > 0;)
    latest = static_cast<unsigned char>(bytes[n - 1]);
  return latest;
}

}  // namespace tolvane::posix
