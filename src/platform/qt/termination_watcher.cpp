#include "termination_watcher.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <csignal>

namespace tolvane::qt {

namespace {

// The signal handler may only write to a descriptor; the loop reads the other end.
int signal_pipe[2] = {-1, -1};

void OnSignal(int signal_number) {
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe[0], &byte, 1);
}

}  // namespace

TerminationWatcher::TerminationWatcher(std::function<void(int)> on_termination)
    : on_termination_(std::move(on_termination)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signal_pipe) != 0) {
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(signal_pipe[1], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char bytes[16];
    int signal_number = SIGTERM;
    for (ssize_t n = 0; (n = ::read(signal_pipe[1], bytes, sizeof bytes)) > 0;)
      signal_number = bytes[n - 1];
    on_termination_(signal_number);
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QObject::connect(application, &QGuiApplication::commitDataRequest,
                     [this](QSessionManager&) { on_termination_(SIGTERM); });
  }
}

TerminationWatcher::~TerminationWatcher() {
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGINT, SIG_DFL);
  notifier_.reset();
  for (int& fd : signal_pipe) {
    if (fd >= 0)
      ::close(fd);
    fd = -1;
  }
}

}  // namespace tolvane::qt
