#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine_prompts.h"
#include "job_text.h"
#include "output_plan.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/volumes.h"
#include "queue/file_data.h"
#include "tags/song_tag.h"

namespace tolvane::encoding {

// What happens to the output of a job that did not complete.
struct UnfinishedOutput {
  bool delete_stopped = false;  // a stopped job's partial MP3 goes
  bool delete_failed = false;   // a failed encoder's output goes (an empty one always does)
};

// What every job of a batch shares: the encoder, where the MP3 files go, and which checks run.
struct JobSettings {
  std::string encoder;
  std::string version_label;
  std::string output_folder;  // "" writes beside the source
  int tree_depth = 0;
  bool check_space = true;  // ask when the free space looks short
  // An MP3 beside the source means "already compressed" even when the output goes to a target
  // folder (the window asks then); otherwise only the places this job writes count.
  bool beside_counts_as_existing = true;
  bool show_console = false;
  // When set, the encoder writes into a hidden folder of this name beside the MP3's place, and
  // the job puts the MP3 under its final name once it is complete, tagged and on the disk; the
  // source is deleted after that by the job, never by the encoder. A run that dies leaves no
  // partial MP3 under a final name.
  std::string staging_name;
  // The tag a completed MP3 gets, nullopt for none; when unset, the entry's own when it has one.
  std::function<std::optional<tags::SongTag>(const queue::TFileData&)> tag_of;
  // What goes of an output that did not complete, asked as the job ends (the window's switch may
  // change while it runs); unset keeps all but an empty output.
  std::function<UnfinishedOutput()> unfinished;
};

// The launch's questions. The window asks the user; the batch tool answers from its flags.
class JobQuestions {
 public:
  virtual ~JobQuestions() = default;
  // An MP3 of this source exists already: true replaces it, false keeps it.
  virtual bool ReplaceExisting(const std::string& source_name) = 0;
  // The free space of `where` looks short: true skips the file.
  virtual bool SkipShortOfSpace(const std::string& source_name, SpaceCheck where) = 0;
};

struct JobServices {
  platform::FileSystem& files;
  const platform::Paths& paths;
  platform::Volumes& volumes;
  platform::Processes& processes;
  platform::Clock& clock;
  // Watches the encoder's end.
  platform::EventLoop& loop;
};

// How a launch ended.
enum class LaunchResult {
  Started,
  InputNotFound,       // the source is gone
  FolderNotCreated,    // the target folder or one of its tree levels
  OutputNotCreated,    // the MP3 file cannot be made where the encoder is to write it
  OwnOutput,           // the MP3 would be written over the source itself: passed over
  ExistingKept,        // an MP3 is there and is kept: passed over, counting as done
  ShortOfSpace,        // skipped for the free space: passed over
  CommandLineTooLong,  // longer than the encoder's command line may be
  CannotStart,         // the encoder could not be started
};

// How a started job ended, and what of its finishing did not succeed.
struct JobResult {
  enum class End { Completed, Stopped, Halted } end = End::Completed;
  int exit_code = 0;
  bool tag_failed = false;    // completed, but its ID3 tag is not in the MP3
  bool move_failed = false;   // completed, but it could not go to its target folder
  std::string why_not_moved;  // the system's words for that, when it said any
  // Another program put an MP3 at the destination while this job ran: this job's was dropped
  // rather than mixed with it or put over it.
  bool taken = false;
  bool source_kept = false;  // the source was to be deleted once encoded, and could not be
  std::string destination;   // where the MP3 was to be in the end
  std::string error_line;    // halted: the encoder's own last word on why, if it said one
};

// One file's encoding, from its plan to its outcome, for every driver: the window's engine runs
// one at a time and asks its questions, the batch tool runs several and answers from its flags.
// The job owns its run: the encoder, the watch on its end through the loop, stop, suspend and
// resume, its clock and its progress, and its end: it finishes itself (tag, move, what goes of
// an unfinished output) and reports the result once. A driver starts jobs and listens for their
// results; a job reports, it never shows anything itself. The entry must outlive the job.
class Job final {
 public:
  enum class State { Planned, Running, Suspended, Ended };

  Job(queue::TFileData& entry, const JobSettings& settings, const JobServices& services);
  // A child still running is ended: no encoder outlives its job.
  ~Job();
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  queue::TFileData& Entry() const { return entry_; }
  const OutputPlan& Plan() const { return plan_; }
  // Where the encoder writes, and where the MP3 is once the job completed.
  const std::string& Output() const { return plan_.encoder_output; }
  const std::string& Destination() const { return plan_.destination; }
  // The encoder's command line for this job.
  std::string CommandLine() const;

  // The launch: the source, the target folders, the MP3 never written over its source, the
  // existing MP3 and the free space (asked through `questions`), then the encoder started with
  // its output made empty to be watched. The entry's OutputPath is set on the way.
  LaunchResult Launch(JobQuestions& questions);

  State GetState() const { return state_; }
  // The running encoder: null before a successful launch.
  platform::ChildProcess* Child() const { return child_.get(); }
  // The output's size now: the job's progress; -1 when it cannot be read.
  int64_t OutputSize() const;
  // The time at work since the launch, less the time suspended; it stands still once ended.
  uint32_t ElapsedMs() const;
  // How far it is, from the output's size and the time at work.
  FileProgress Progress() const;

  // The job's end, finished and reported once: from the loop, from CheckEnd or from GiveUp. The
  // job may be destroyed inside the report.
  std::function<void(const JobResult&)> OnResult;
  // Looks at the encoder now: true when it has ended, and the job with it (OnResult reported
  // that). For a tick, and for a system without end notifications.
  bool CheckEnd();
  // The encoder's exit code once its end was seen; nullopt while it runs.
  std::optional<int> ExitCode() const { return exit_code_; }
  // Asks the encoder and everything it started to end; the result then says what happened: an
  // encoder killed stopped, one whose end came first keeps its own.
  void Stop();
  // A stopped encoder whose end never came: the job ends as stopped without it.
  void GiveUp();
  // Holds the encoder where it is, and its clock with it; Resume lets both go on.
  void Suspend();
  void Resume();

 private:
  // The end seen: the clock stands still and the job finishes by `exit_code`, then reports.
  void End(int exit_code);
  // 0 completed (tag, then the move of an encoder that wrote beside the source, replacing what
  // is at the destination), kExitTerminated stopped, anything else halted.
  JobResult Finish(int exit_code);
  bool Staged() const { return !plan_.staging_folder.empty(); }
  void WatchEnd();
  bool OutputExists();
  platform::Result MoveToDestination();
  // Puts a staged MP3 under its final name: synced, renamed, its folder synced; then the
  // source goes if it is to.
  void Place(JobResult& result);
  // Drops a staged output that is not to be kept, and the hidden folder once it is empty.
  void DropStaged();
  void DropOutput();
  void DropStagingFolder();

  queue::TFileData& entry_;
  JobSettings settings_;
  JobServices s_;
  OutputPlan plan_;
  std::unique_ptr<platform::ChildProcess> child_;
  // The output, open for reading while the encoder writes it.
  std::unique_ptr<platform::File> watched_output_;
  // An MP3 was at the destination when the job started, and is to be replaced.
  bool replaces_destination_ = false;
  State state_ = State::Planned;
  std::optional<int> exit_code_;
  platform::Subscription end_watch_;
  // The clock: the launch, the time spent suspended, and when it was suspended or ended.
  uint32_t started_at_ = 0;
  uint32_t suspended_ms_ = 0;
  uint32_t stood_still_at_ = 0;
};

// Stops every job `running` lists (the jobs whose end has not come) and runs the loop until it
// lists none or `limit_ms` have passed (a killed encoder ends at once); a job still running then
// is given up. Each job reports its own result on the way and may let itself go in it, so
// `running` is asked again each time.
void StopAndWait(const std::function<std::vector<Job*>()>& running, platform::EventLoop& loop,
                 platform::Clock& clock, uint32_t limit_ms);

// What a launch result means for a driver that reports failures: the failure, or nullopt for a
// start or a pass-over that is no failure.
std::optional<EngineFailure> FailureOf(LaunchResult result);

}  // namespace tolvane::encoding
