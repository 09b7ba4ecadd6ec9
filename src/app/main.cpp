// Program entry: chooses the platform implementations, reads the command line, creates the main
// window and runs the message loop.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <climits>
#include <functional>

#include "main_window.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/intake_server.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_volumes.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/xdg_data_files.h"
#include "platform/posix/xdg_folders.h"
#include "platform/qt/form_view.h"
#include "platform/qt/images.h"
#include "platform/qt/platform_services.h"
#include "platform/qt/termination_watcher.h"
#include "platform/qt/timer_driver.h"
#include "settings/job_list.h"
#include "settings/migration.h"
#include "shell/intake.h"
#include "startup.h"

namespace {

// A later copy's names go to the running one. That one may be starting still, its intake not
// yet listening: try for a few seconds. Names nobody takes are lost, as when no copy answers.
void HandOff(const std::string& intake_path, const std::vector<std::string>& commands) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (tolvane::posix::SendToIntake(intake_path, commands))
      return;
    ::usleep(100'000);
  }
}

std::string ExecutablePath(const char* argv0) {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string(argv0);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tolvane;
  QApplication qt_application(argc, argv);
  QApplication::setWindowIcon(qt::ApplicationIcon());
  // The installed desktop entry is tolvane.desktop: desktops group the window with it.
  QGuiApplication::setDesktopFileName(QStringLiteral("tolvane"));
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

  const std::string executable = ExecutablePath(argv[0]);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const posix::ProcessEnvironment environment;

  // One copy runs: a later start hands its names to it and ends, touching no settings.
  std::optional<posix::InstanceLock> instance;
  if (posix::MakePrivateFolder(folders.runtime))
    instance.emplace(folders.runtime + "/" + paths.NamePart(executable));
  const std::string intake_path =
      folders.runtime + "/" + shell::ServiceName(executable) + ".bladefiles";
  if (instance && instance->GetState() == posix::InstanceLock::State::AlreadyRunning) {
    HandOff(intake_path,
            app::HandOffCommands(arguments, environment.CurrentFolder(), files, paths));
    return 0;
  }

  posix::RegistryFile user_registry(folders.config + "/HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER");
  posix::RegistryFile classes_registry(folders.config + "/HKEY_CLASSES_ROOT.reg",
                                       "HKEY_CLASSES_ROOT");
  app::MigrateEarlierSettings(user_registry, classes_registry, dialogs);

  const std::string job_list = settings::JobListPath(folders.state, executable);
  posix::XdgDataFiles desktop_files(folders.data);
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
                     desktop_files, executable, job_list});
  // Other programs' names are heard from here on; they are handled once the window shows.
  const bool first_copy = instance && instance->GetState() == posix::InstanceLock::State::First;
  shell::Intake intake({[&](const std::string& path) {
                          blade.AddPath(paths.Absolute(path, environment.CurrentFolder()));
                        },
                        [&blade] { blade.UpdateTotals(); }, [&blade] { blade.RestoreWindow(); }});
  platform::Timer intake_sweep("IntakeSweep", 1000);
  posix::IntakeServer intake_server(intake, loop, clock, intake_sweep);
  const bool listening = first_copy && intake_server.Listen(intake_path);
  blade.FormCreate();

  qt::WindowView view({blade.Form, application, [&blade] { return blade.TaskbarTitle(); },
                       blade.Menus(), blade.Timers()});
  close_window = [&blade] { blade.CloseUnattended(); };
  view.Form().show();
  const qt::TimerDriver sweep_driver(intake_sweep);
  if (listening) {
    instance->Record({::getpid(), static_cast<uint64_t>(view.Form().winId())});
    intake_server.Serve();
  }

  // The names reach the queue from the running loop, after every window exists.
  if (plan.had_arguments) {
    QTimer::singleShot(0, [&blade, names = plan.names] { blade.EnqueueNames(names); });
  }
  // A signal that came during the start closes the window after the names are in the queue.
  if (termination_pending)
    QTimer::singleShot(0, close_window);
  return QApplication::exec();
}
