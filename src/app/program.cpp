#include "program.h"

#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "main_window.h"
#include "platform/posix/intake_server.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/xdg_data_files.h"
#include "platform/qt/form_view.h"
#include "platform/qt/timer_driver.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "shell/intake.h"
#include "startup.h"

namespace tolvane::app {

Program::Program(std::string executable, std::vector<std::string> arguments)
    : executable_(std::move(executable)), arguments_(std::move(arguments)) {
  application_.SetTitle("Tolvane");
}

void Program::OnTermination(int signal_number) {
  termination_signal_ = signal_number;
  dialogs_.CloseAll();
  termination_pending_ = !close_window_;
  if (close_window_)
    QTimer::singleShot(0, close_window_);
}

std::optional<int> Program::HandOff() {
  if (posix::MakePrivateFolder(folders_.runtime))
    instance_.emplace(folders_.runtime + "/" + paths_.NamePart(executable_));
  intake_path_ = folders_.runtime + "/" + shell::ServiceName(executable_) + ".bladefiles";
  if (!instance_ || instance_->GetState() != posix::InstanceLock::State::AlreadyRunning)
    return std::nullopt;
  const std::vector<std::string> commands =
      HandOffCommands(arguments_, environment_.CurrentFolder(), files_, paths_);
  // The wait is the user's to end: a signal is seen from the loop of the termination watcher.
  const auto alive = [this] {
    QCoreApplication::processEvents();
    return termination_signal_ == 0 && instance_->HolderAlive();
  };
  const int64_t start = clock_.GetTickCount();
  bool question_told = false;
  const auto answering = [&] {
    if (!question_told && clock_.GetTickCount() - start >= kSayWaitingMs) {
      question_told = true;
      std::fprintf(stderr,
                   "tolvane: the running Tolvane, %s, has a question open; waiting for it to take "
                   "the names (Ctrl+C ends the wait)\n",
                   instance_->HolderName().c_str());
    }
    return alive();
  };
  int answered = 0;
  // The running copy may be starting still, its intake not yet listening (a box of its start is
  // open, or a large saved queue is being restored): no name is lost while it lives.
  for (int attempt = 1; alive(); ++attempt) {
    const posix::HandOverResult handed = posix::HandOverToIntake(intake_path_, commands, answering);
    answered = handed.answered;
    if (handed.outcome == posix::HandOver::Delivered)
      return 0;
    if (handed.outcome == posix::HandOver::PeerGone)
      break;
    // Said once, after two seconds: a wait without a word looks like a hang.
    if (attempt == kSayWaitingMs / kRetryMs) {
      std::fprintf(stderr, "tolvane: waiting for the running copy, %s, to take the names\n",
                   instance_->HolderName().c_str());
    }
    ::usleep(kRetryMs * 1000);
  }
  if (termination_signal_ != 0) {
    // The restore request comes first; every name from the first unanswered one on may be lost.
    std::string names;
    for (size_t i = std::max<size_t>(1, static_cast<size_t>(answered)); i < commands.size(); ++i)
      names += " " + shell::PathOfCommand(commands[i]).value_or(commands[i]);
    std::fprintf(stderr, "tolvane: stopped waiting; the running copy may not have these names:%s\n",
                 names.c_str());
    return 128 + termination_signal_;
  }
  std::fprintf(stderr, "tolvane: the running copy ended before it took every name\n");
  return 1;
}

int Program::Run() {
  // "-continue" with nothing saved ends before anything else, a running copy included.
  const StartupPlan plan =
      PlanStartup(arguments_, settings::JobListPath(folders_.state, executable_),
                  environment_.CurrentFolder(), files_, paths_);
  if (plan.end_now)
    return 0;
  // One copy runs: a later start hands its names to it and ends, touching no settings.
  if (const std::optional<int> handed_off = HandOff())
    return *handed_off;
  return RunWindow(plan);
}

int Program::RunWindow(const StartupPlan& plan) {
  posix::RegistryFile user_registry(settings::UserRegistryPath(folders_.config),
                                    "HKEY_CURRENT_USER");
  posix::RegistryFile classes_registry(folders_.config + "/HKEY_CLASSES_ROOT.reg",
                                       "HKEY_CLASSES_ROOT");
  MigrateEarlierSettings(user_registry, classes_registry, dialogs_);

  const std::string job_list = settings::JobListPath(folders_.state, executable_);
  posix::XdgDataFiles desktop_files(folders_.data);

  posix::MakeFolders(folders_.state, 0700);
  // The window restores the saved queue, follows it and replaces it at the close: nobody else
  // may consume it meanwhile, nor may the window while another program does.
  posix::InstanceLock queue_lock(settings::JobListLockPath(job_list));
  if (queue_lock.GetState() == posix::InstanceLock::State::AlreadyRunning) {
    std::fprintf(stderr, "tolvane: the saved queue %s is in use by %s\n", job_list.c_str(),
                 queue_lock.HolderName().c_str());
    return 1;
  }
  queue_lock.Record({::getpid(), 0});
  TBlade blade({application_, dialogs_, work_area_, files_, paths_, volumes_, user_registry, clock_,
                processes_, power_, environment_, paths_.FolderOf(executable_), classes_registry,
                desktop_files, executable_, job_list});
  const bool first_copy = instance_ && instance_->GetState() == posix::InstanceLock::State::First;
  shell::Intake intake({[&](const std::string& path) {
                          blade.AddPath(paths_.Absolute(path, environment_.CurrentFolder()));
                        },
                        [&blade] { blade.UpdateTotals(); }, [&blade] { blade.RestoreWindow(); }});
  platform::Timer intake_sweep("IntakeSweep", 1000);
  const qt::TimerDriver sweep_driver(intake_sweep);
  posix::IntakeServer intake_server(intake, loop_, clock_, intake_sweep);
  // Without its lock file the copy runs on its own, and still hears the intake, unless another
  // copy hears it already.
  const bool lock_unavailable =
      !instance_ || instance_->GetState() == posix::InstanceLock::State::Unavailable;
  const bool hears_intake =
      first_copy || (lock_unavailable && !posix::SendToIntake(intake_path_, {}, 1000));
  const bool listening = hears_intake && intake_server.Listen(intake_path_);
  // Heard from the moment a loop runs, also the nested one of a question the start asks (a
  // restored queue that starts by itself).
  if (listening)
    intake_server.Serve();
  blade.FormCreate();

  qt::WindowView view({blade.Form, application_, [&blade] { return blade.TaskbarTitle(); },
                       blade.Menus(), blade.Timers()});
  close_window_ = [&blade] { blade.CloseUnattended(); };
  view.Form().show();
  if (first_copy)
    instance_->Record({::getpid(), static_cast<uint64_t>(view.Form().winId())});

  // The names reach the queue from the running loop, after every window exists.
  if (plan.had_arguments)
    QTimer::singleShot(0, [&blade, names = plan.names] { blade.EnqueueNames(names); });
  // A signal that came during the start closes the window after the names are in the queue.
  if (termination_pending_)
    QTimer::singleShot(0, close_window_);
  const int code = QApplication::exec();
  // The window goes with this scope: no signal may reach it after.
  close_window_ = nullptr;
  return code;
}

}  // namespace tolvane::app
