#include "job.h"

#include "job_text.h"
#include "tags/id3_tag.h"
#include "totals.h"

namespace tolvane::encoding {

Job::Job(queue::TFileData& entry, const JobSettings& settings, const JobServices& services)
    : entry_(entry),
      settings_(settings),
      s_(services),
      plan_(PlanOutput(entry.FileName, settings.output_folder, settings.tree_depth,
                       settings.version_label, services.paths)) {
  StageOutput(plan_, settings.staging_name, services.paths);
}

Job::~Job() {
  if (child_ != nullptr && child_->ExitCode() == platform::kStillActive)
    (void)child_->Terminate(platform::kExitTerminated);  // refused only for one already gone
}

std::string Job::CommandLine() const {
  if (!Staged()) {
    return BuildCommandLine(settings_.encoder, settings_.version_label, entry_,
                            plan_.encoder_folder, s_.paths);
  }
  // The encoder would delete the source before its MP3 is in place.
  queue::TFileData keeps_source = entry_;
  keeps_source.DeleteFlag = false;
  return BuildCommandLine(settings_.encoder, settings_.version_label, keeps_source,
                          plan_.encoder_folder, s_.paths);
}

bool Job::OutputExists() {
  return s_.files.FileExists(Output()) || s_.files.FileExists(Destination()) ||
         (settings_.beside_counts_as_existing && s_.files.FileExists(plan_.beside));
}

LaunchResult Job::Launch(JobQuestions& questions) {
  const std::string source_name = s_.paths.NamePart(entry_.FileName);
  if (!s_.files.FileExists(entry_.FileName))
    return LaunchResult::InputNotFound;
  if (!MakeTargetFolders(s_.files, s_.paths, plan_))
    return LaunchResult::FolderNotCreated;

  // The MP3 is never written over its own source (a WAVE file named song.mp3, or a target
  // folder that leads back to the source's folder), whatever the answers and the checks.
  if (s_.files.SameFile(Output(), entry_.FileName) ||
      s_.files.SameFile(Destination(), entry_.FileName)) {
    return LaunchResult::OwnOutput;
  }
  if (OutputExists() && !questions.ReplaceExisting(source_name))
    return LaunchResult::ExistingKept;
  replaces_destination_ = s_.files.Exists(Destination());
  if (settings_.check_space) {
    const auto short_of_space = [&](const std::string& folder) {
      const double free = DriveFreeSpace(s_.volumes, folder).bytes;
      return free > 0 && static_cast<double>(entry_.RequiredSize) * 1.2 >= free;
    };
    bool skip = short_of_space(s_.paths.FolderOf(plan_.beside)) &&
                questions.SkipShortOfSpace(source_name, SpaceCheck::Source);
    if (!skip && !plan_.output_folder.empty() && short_of_space(plan_.target_folder))
      skip = questions.SkipShortOfSpace(source_name, SpaceCheck::Target);
    if (skip)
      return LaunchResult::ShortOfSpace;
  }

  const std::string command_line = CommandLine();
  if (command_line.size() > kMaxCommandLine)
    return LaunchResult::CommandLineTooLong;
  // The hidden folder is made only for an encoder that starts now: a job passed over leaves
  // none behind.
  if (Staged() && !s_.files.FolderExists(plan_.staging_folder) &&
      !s_.files.CreateFolder(plan_.staging_folder)) {
    return LaunchResult::FolderNotCreated;
  }
  entry_.OutputPath = Output();
  // The output starts empty, and stays open for reading: its growth is the job's progress. An
  // output that cannot be made is one the encoder cannot write either.
  if (s_.files.Open(Output(), platform::OpenMode::CreateTruncate) == nullptr) {
    if (Staged())
      DropStaged();
    return LaunchResult::OutputNotCreated;
  }
  watched_output_ = s_.files.Open(Output(), platform::OpenMode::Read);
  child_ = s_.processes.Start(command_line, settings_.show_console);
  if (child_ == nullptr) {
    watched_output_.reset();
    if (Staged())
      DropStaged();
    return LaunchResult::CannotStart;
  }
  // The job's clock starts now; a job that ends before its first tick has taken no time yet.
  started_at_ = s_.clock.GetTickCount();
  state_ = State::Running;
  WatchEnd();
  return LaunchResult::Started;
}

void Job::WatchEnd() {
  const int fd = child_->EndNotifier();
  if (fd >= 0)
    end_watch_ = s_.loop.WatchReadable(fd, [this] { CheckEnd(); });
}

bool Job::CheckEnd() {
  if (child_ == nullptr || state_ == State::Ended)
    return false;
  const std::optional<int> code = child_->ExitCode();
  if (!code) {
    // A notifier for a child nobody can ask about would only fire again: the ticks go on.
    end_watch_.Reset();
    return false;
  }
  if (*code == platform::kStillActive)
    return false;
  End(*code);
  return true;
}

void Job::End(int exit_code) {
  end_watch_.Reset();
  if (state_ != State::Suspended)
    stood_still_at_ = s_.clock.GetTickCount();
  state_ = State::Ended;
  exit_code_ = exit_code;
  const JobResult result = Finish(exit_code);
  // Last, and from a copy: the driver may let the job go in its report.
  if (const std::function<void(const JobResult&)> report = OnResult)
    report(result);
}

void Job::Stop() {
  // Refused only for an encoder already gone, whose end then comes as it is.
  if (child_ != nullptr && state_ != State::Ended)
    (void)child_->Terminate(platform::kExitTerminated);
}

void Job::GiveUp() {
  if (child_ != nullptr && state_ != State::Ended && !CheckEnd())
    End(platform::kExitTerminated);
}

void StopAndWait(const std::function<std::vector<Job*>()>& running, platform::EventLoop& loop,
                 platform::Clock& clock, uint32_t limit_ms) {
  for (Job* job : running())
    job->Stop();
  // The ends come through the loop, which goes on handling what arrives meanwhile; a child the
  // loop cannot watch is looked at after each turn.
  const uint32_t start = clock.GetTickCount();
  while (!running().empty() && platform::TicksBetween(start, clock.GetTickCount()) < limit_ms) {
    loop.WaitForMessages(100);
    for (Job* job : running())  // a report lets at most its own job go
      job->CheckEnd();
  }
  for (Job* job : running())
    job->GiveUp();
}

void Job::Suspend() {
  if (state_ != State::Running)
    return;
  (void)child_->Suspend();  // refused only for an encoder that has ended: its end comes
  stood_still_at_ = s_.clock.GetTickCount();
  state_ = State::Suspended;
}

void Job::Resume() {
  if (state_ != State::Suspended)
    return;
  (void)child_->Resume();  // as Suspend
  suspended_ms_ += platform::TicksBetween(stood_still_at_, s_.clock.GetTickCount());
  state_ = State::Running;
}

uint32_t Job::ElapsedMs() const {
  if (state_ == State::Planned)
    return 0;
  const uint32_t until = state_ == State::Running ? s_.clock.GetTickCount() : stood_still_at_;
  return platform::TicksBetween(started_at_, until) - suspended_ms_;
}

FileProgress Job::Progress() const {
  return MeasureProgress(OutputSize(), entry_, ElapsedMs());
}

int64_t Job::OutputSize() const {
  return watched_output_ != nullptr ? watched_output_->Size() : -1;
}

platform::Result Job::MoveToDestination() {
  const std::string& to = Destination();
  // A target folder that leads back to the source's folder: the MP3 is where it belongs.
  if (!s_.files.SameFile(to, Output())) {
    if (s_.files.FileExists(to)) {
      if (platform::Result gone = s_.files.Delete(to); !gone)
        return gone;
    }
    if (platform::Result moved = s_.files.Move(Output(), to); !moved)
      return moved;
  }
  entry_.OutputPath = to;
  return platform::Result::Done();
}

JobResult Job::Finish(int exit_code) {
  const UnfinishedOutput unfinished =
      settings_.unfinished ? settings_.unfinished() : UnfinishedOutput{};
  watched_output_.reset();
  JobResult result;
  result.exit_code = exit_code;
  result.destination = Destination();
  if (exit_code == 0) {
    // The tag goes into the MP3 where the encoder wrote it, before it moves.
    const std::optional<tags::SongTag> tag = settings_.tag_of ? settings_.tag_of(entry_)
                                             : entry_.HasTag
                                                 ? std::optional(tags::SongTagOf(entry_))
                                                 : std::nullopt;
    result.tag_failed = tag && !tags::PutTags(s_.files, entry_.OutputPath, *tag);
    if (Staged()) {
      Place(result);
      return result;
    }
    entry_.Encoded = true;
    if (Output() != Destination()) {
      const platform::Result moved = MoveToDestination();
      result.move_failed = !moved;
      result.why_not_moved = moved.Why();
    }
    return result;
  }
  if (exit_code == platform::kExitTerminated) {
    result.end = JobResult::End::Stopped;
    if (Staged())
      DropStaged();
    else if (unfinished.delete_stopped)
      DropOutput();
    return result;
  }
  result.end = JobResult::End::Halted;
  if (child_ != nullptr)
    result.error_line = child_->LastErrorLine();
  if (Staged()) {
    DropStaged();
    return result;
  }
  // An encoder that gave up before writing anything (an input it cannot read) leaves the empty
  // file this job made for it: that is no output of anyone's.
  const auto output = s_.files.Open(Output(), platform::OpenMode::Read);
  if (unfinished.delete_failed || (output != nullptr && output->Size() == 0))
    DropOutput();
  return result;
}

void Job::Place(JobResult& result) {
  const std::string& to = Destination();
  std::unique_ptr<platform::File> mp3 = s_.files.Open(Output(), platform::OpenMode::ReadWrite);
  const bool synced = mp3 != nullptr && mp3->Sync();
  mp3.reset();
  // Without the replace asked for at the start, an MP3 that is there now was put there by
  // another program meanwhile: it is neither replaced nor mixed with this one.
  const platform::Result placed =
      !synced                 ? platform::Result::Failed("it could not be written to the disk")
      : replaces_destination_ ? s_.files.Replace(Output(), to)
                              : s_.files.Move(Output(), to);
  if (!placed) {
    result.taken = synced && !replaces_destination_ && s_.files.Exists(to);
    result.move_failed = !result.taken;
    result.why_not_moved = placed.Why();
    DropStaged();
    return;
  }
  DropStagingFolder();
  entry_.OutputPath = to;
  entry_.Encoded = true;
  if (entry_.DeleteFlag) {
    result.source_kept =
        !s_.files.SyncFolder(s_.paths.FolderOf(to)) || !s_.files.Delete(entry_.FileName);
  }
}

void Job::DropOutput() {
  // Nothing more is said of an unfinished output that cannot go: its row says how the job
  // ended, and it is the job's own file, which the next run of the entry writes over.
  (void)s_.files.Delete(Output());
}

void Job::DropStagingFolder() {
  // Other jobs may still be writing into it: it goes with the last, and stays until then.
  (void)s_.files.DeleteFolder(plan_.staging_folder);
}

void Job::DropStaged() {
  DropOutput();
  DropStagingFolder();
}

std::optional<EngineFailure> FailureOf(LaunchResult result) {
  switch (result) {
    case LaunchResult::InputNotFound:
      return EngineFailure::InputNotFound;
    case LaunchResult::FolderNotCreated:
      return EngineFailure::OutputFolderNotCreated;
    case LaunchResult::OutputNotCreated:
      return EngineFailure::OutputNotCreated;
    case LaunchResult::OwnOutput:
      return EngineFailure::SourceIsOwnOutput;
    case LaunchResult::CommandLineTooLong:
      return EngineFailure::CommandLineTooLong;
    case LaunchResult::CannotStart:
      return EngineFailure::CannotStart;
    case LaunchResult::Started:
    case LaunchResult::ExistingKept:
    case LaunchResult::ShortOfSpace:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tolvane::encoding
