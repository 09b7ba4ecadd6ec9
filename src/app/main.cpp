// Program entry: chooses the platform implementations, reads the command line, creates the main
// window and runs the message loop.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <climits>
#include <functional>

#include "main_window.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_volumes.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/xdg_folders.h"
#include "platform/qt/form_view.h"
#include "platform/qt/platform_services.h"
#include "platform/qt/termination_watcher.h"
#include "settings/migration.h"
#include "startup.h"

namespace {

std::string ExecutablePath(const char* argv0) {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string(argv0);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tolvane;
  QApplication qt_application(argc, argv);
  qt::QtDialogs dialogs;
  // Signals are caught from the start. An open box is closed at once (nobody is there to answer
  // it); the window closes once it exists and the code that asked has gone on.
  std::function<void()> close_window;
  bool termination_pending = false;
  const qt::TerminationWatcher termination([&close_window, &termination_pending, &dialogs] {
    dialogs.CloseAll();
    termination_pending = !close_window;
    if (close_window)
      QTimer::singleShot(0, close_window);
  });
  qt::QtEventLoop loop;
  qt::QtWorkArea work_area;
  posix::PosixFileSystem files;
  const platform::Paths paths(platform::PathStyle::Posix);
  posix::PosixVolumes volumes;
  const posix::XdgFolders folders = posix::XdgFolders::FromEnvironment();

  ui::Application application(loop);
  application.SetTitle("Tolvane");

  posix::RegistryFile user_registry(folders.config + "/HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER");
  posix::RegistryFile classes_registry(folders.config + "/HKEY_CLASSES_ROOT.reg",
                                       "HKEY_CLASSES_ROOT");
  settings::MigrateSettings(user_registry, classes_registry, dialogs);

  const std::string executable = ExecutablePath(argv[0]);
  const std::string job_list = app::JobListPath(folders.state, executable);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const posix::ProcessEnvironment environment;
  const app::StartupPlan plan =
      app::PlanStartup(arguments, job_list, environment.CurrentFolder(), files, paths);

  if (plan.end_now)
    return 0;

  posix::MakeFolders(folders.state, 0700);
  posix::MonotonicClock clock;
  posix::PosixProcesses processes;
  posix::SystemdPower power;
  app::TBlade blade({application, dialogs, work_area, files, paths, volumes, user_registry, clock,
                     processes, power, environment, paths.FolderOf(executable), classes_registry,
                     executable, job_list});
  blade.FormCreate();

  qt::WindowView view({blade.Form, application, [&blade] { return blade.TaskbarTitle(); },
                       blade.Menus(), blade.Timers()});
  close_window = [&blade] { blade.CloseUnattended(); };
  view.Form().show();

  // The names reach the queue from the running loop, after every window exists.
  if (plan.had_arguments) {
    QTimer::singleShot(0, [&blade, names = plan.names] { blade.EnqueueNames(names); });
  }
  // A signal that came during the start closes the window after the names are in the queue.
  if (termination_pending)
    QTimer::singleShot(0, close_window);
  return QApplication::exec();
}
