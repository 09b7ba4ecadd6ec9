#include "termination_watcher.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <csignal>

namespace tolvane::qt {

TerminationWatcher::TerminationWatcher(int signal_fd,
                                       std::function<std::optional<int>()> take_signal,
                                       std::function<void(int)> on_termination)
    : take_signal_(std::move(take_signal)), on_termination_(std::move(on_termination)) {
  if (signal_fd >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(signal_fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
      if (const std::optional<int> signal_number = take_signal_())
        on_termination_(*signal_number);
    });
  }
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QObject::connect(application, &QGuiApplication::commitDataRequest,
                     [this](QSessionManager&) { on_termination_(SIGTERM); });
  }
}

}  // namespace tolvane::qt
