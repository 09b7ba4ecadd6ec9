#include "batch_run.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "encoding/job_text.h"
#include "encoding/output_plan.h"
#include "queue/folder_scan.h"
#include "settings/encoder_path.h"
#include "settings/encoder_version.h"
#include "settings/job_list.h"
#include "shards.h"

namespace tolvane::cli {

namespace {

constexpr int kRefreshMs = 200;

std::string Seconds(uint32_t ms) {
  return encoding::SecondsToTime(ms / 1000);
}

// The launch's questions, answered from the command line: an existing MP3 is replaced only with
// --overwrite; free space is not asked about.
class FlagAnswers final : public encoding::JobQuestions {
 public:
  explicit FlagAnswers(bool overwrite) : overwrite_(overwrite) {}
  bool ReplaceExisting(const std::string&) override { return overwrite_; }
  bool SkipShortOfSpace(const std::string&, encoding::SpaceCheck) override { return false; }

 private:
  bool overwrite_;
};

}  // namespace

BatchRun::BatchRun(const BatchOptions& options, const Services& services, ConsoleReport& report)
    : options_(options), s_(services), report_(report) {}

void BatchRun::Collect() {
  const queue::EntryDefaults& defaults = options_.entry;
  if (options_.continue_list) {
    settings::ReadJobList(s_.files, s_.job_list_path, [&](const settings::JobRecordRead& record) {
      queue::TFileData* entry = nullptr;
      if (queue_.ProbeAndEnqueue(record.path, defaults, entry) != 0)
        return;
      settings::ApplyJobRecord(record, *entry);
      from_job_list_.push_back(entry);
    });
  }
  queue::BatchFlags flags;
  for (const std::string& input : options_.inputs) {
    const std::string path = s_.paths.Absolute(input, s_.environment.CurrentFolder());
    if (!s_.files.Exists(path)) {
      // A name in a folder that cannot be entered is there, but cannot be seen.
      if (const std::optional<std::string> why = s_.files.WhyUnreadable(path))
        unreadable_.emplace_back(path, *why);
      else
        missing_.push_back(path);
      continue;
    }
    queue::AddFileOrFolder(queue_, s_.files, s_.paths, path, defaults, flags);
  }
  unreadable_.insert(unreadable_.end(), flags.unlisted_folders.begin(),
                     flags.unlisted_folders.end());
  for (const std::string& path : flags.unsupported_paths) {
    // A file that cannot be opened is not known to be unsupported.
    if (const std::optional<std::string> why = s_.files.WhyUnreadable(path))
      unreadable_.emplace_back(path, *why);
    else
      unsupported_.push_back(path);
  }
  // Shards of about equal bytes, dealt alike on every machine that scans the same library.
  std::vector<int64_t> sizes;
  for (int i = 0; i < queue_.Rows().Count(); ++i)
    sizes.push_back(queue::EntryOf(queue_.Rows().Item(i))->FileSize);
  const std::vector<int> dealt = DealBySize(sizes, options_.shards);
  shard_bytes_.assign(static_cast<size_t>(options_.shards), 0);
  shard_files_.assign(static_cast<size_t>(options_.shards), 0);
  for (int i = 0; i < queue_.Rows().Count(); ++i) {
    const size_t shard = static_cast<size_t>(dealt[static_cast<size_t>(i)]);
    shard_bytes_[shard] += sizes[static_cast<size_t>(i)];
    ++shard_files_[shard];
    if (dealt[static_cast<size_t>(i)] == options_.shard - 1)
      work_.push_back(queue::EntryOf(queue_.Rows().Item(i)));
  }
  if (options_.tag) {
    for (queue::TFileData* entry : work_)
      entry->Tag() = *options_.tag;
  }
}

int BatchRun::Run() {
  if (!options_.output_folder.empty())
    output_folder_ = s_.paths.Absolute(options_.output_folder, s_.environment.CurrentFolder());
  Collect();
  encoder_ = settings::FindEncoder(options_.encoder, s_.program_folder, s_.files, s_.environment,
                                   s_.paths);
  version_label_ = settings::ReadEncoderVersion(s_.files, encoder_).label;
  PlanOutputs();
  if (options_.dry_run) {
    for (queue::TFileData* entry : work_) {
      const encoding::Job job(*entry, Settings(), {s_.files, s_.paths, s_.volumes, s_.processes});
      report_.Line(job.CommandLine(), false);
    }
    for (size_t shard = 0; options_.shards > 1 && shard < shard_bytes_.size(); ++shard) {
      report_.Line("shard " + std::to_string(shard + 1) + "/" + std::to_string(options_.shards) +
                       ": " + std::to_string(shard_files_[shard]) + " files, " +
                       std::to_string(shard_bytes_[shard]) + " bytes",
                   false);
    }
    ReportUnusableInputs();
    return skipped_ == 0 && UnusableInputs() == 0 ? kAllEncoded : kSomeNotEncoded;
  }
  if (!work_.empty() && !s_.files.FileExists(encoder_)) {
    report_.Line("tolvane-batch: encoder not found: " + encoder_, true);
    return kSomeNotEncoded;
  }

  // What runs of this machine that died (a kill, a power loss) left half-written goes.
  for (const std::string& folder : destination_folders_) {
    if (s_.files.FolderExists(folder))
      s_.staging.RemoveAbandoned(s_.files, s_.paths, folder);
  }
  for (const queue::TFileData* entry : work_)
    total_bytes_ += entry->FileSize;
  batch_start_ = s_.clock.GetTickCount();
  size_t next = 0;
  while (next < work_.size() || !running_.empty()) {
    while (static_cast<int>(running_.size()) < options_.jobs && next < work_.size()) {
      Running running;
      if (Start(*work_[next++], running))
        running_.push_back(std::move(running));
    }
    if (running_.empty())
      continue;
    ShowProgress();
    std::vector<pollfd> watched;
    for (const Running& running : running_) {
      if (running.job->Child()->EndNotifier() >= 0)
        watched.push_back({running.job->Child()->EndNotifier(), POLLIN, 0});
    }
    if (s_.interrupt_fd >= 0)
      watched.push_back({s_.interrupt_fd, POLLIN, 0});
    ::poll(watched.data(), watched.size(), kRefreshMs);
    if (s_.interrupt_fd >= 0 && (watched.back().revents & POLLIN) != 0) {
      const int stopped = StopAll();
      ReportSummary("interrupted: ", ", " + std::to_string(stopped) + " stopped, " +
                                         std::to_string(work_.size() - next) + " not started");
      return kInterrupted;
    }
    for (auto running = running_.begin(); running != running_.end();) {
      const std::optional<int> code = running->job->Child()->ExitCode();
      if (code && *code != platform::kStillActive) {
        Finish(*running, *code);
        running = running_.erase(running);
      } else {
        ++running;
      }
    }
  }
  report_.EndBar();
  ReportUnusableInputs();
  ReportSummary("", "");
  if (options_.continue_list)
    SaveRemainingJobList();
  const bool all = skipped_ == 0 && failed_ == 0 && UnusableInputs() == 0;
  return all ? kAllEncoded : kSomeNotEncoded;
}

void BatchRun::ReportSummary(const std::string& lead, const std::string& stops) {
  const std::string already =
      options_.resume ? ", " + std::to_string(already_done_) + " already done" : "";
  report_.Line(lead + std::to_string(encoded_.size()) + " encoded" + already + ", " +
                   std::to_string(skipped_) + " skipped, " +
                   std::to_string(failed_ + UnusableInputs()) + " failed" + stops + ", in " +
                   Seconds(s_.clock.GetTickCount() - batch_start_),
               false);
}

void BatchRun::ReportUnusableInputs() {
  for (const std::string& path : missing_)
    report_.Line("not found  " + path, true);
  for (const auto& [path, why] : unreadable_)
    report_.Line("cannot read  " + path + ": " + why, true);
  for (const std::string& path : unsupported_)
    report_.Line("unsupported  " + path, true);
}

int BatchRun::UnusableInputs() const {
  return static_cast<int>(missing_.size() + unreadable_.size() + unsupported_.size());
}

void BatchRun::PlanOutputs() {
  // Two inputs whose MP3 would be one file (the same name in two folders, without --tree): two
  // encoders would write it at once. The first keeps it; the others are skipped before any runs.
  std::map<std::string, const queue::TFileData*> planned;
  std::vector<queue::TFileData*> kept;
  for (queue::TFileData* entry : work_) {
    const encoding::OutputPlan plan = encoding::PlanOutput(
        entry->FileName, output_folder_, options_.tree_depth, version_label_, s_.paths);
    const auto [first, fresh] = planned.emplace(plan.destination, entry);
    if (fresh) {
      kept.push_back(entry);
      destination_folders_.insert(s_.paths.FolderPart(plan.destination));
      continue;
    }
    ++skipped_;
    report_.Line(
        "skipped  " + entry->FileName + ": would write the same MP3 as " + first->second->FileName,
        true);
  }
  work_ = std::move(kept);
}

encoding::JobSettings BatchRun::Settings() const {
  encoding::JobSettings settings;
  settings.encoder = encoder_;
  settings.version_label = version_label_;
  settings.output_folder = output_folder_;
  settings.tree_depth = options_.tree_depth;
  settings.check_space = false;
  // Only the places this run writes count: an MP3 beside the source is another run's.
  settings.beside_counts_as_existing = false;
  settings.staging_name = s_.staging.FolderName();
  return settings;
}

bool BatchRun::Start(queue::TFileData& entry, Running& running) {
  running.job = std::make_unique<encoding::Job>(
      entry, Settings(), encoding::JobServices{s_.files, s_.paths, s_.volumes, s_.processes});
  const encoding::Job& job = *running.job;
  running.started = s_.clock.GetTickCount();
  FlagAnswers answers(options_.overwrite);
  switch (running.job->Launch(answers)) {
    case encoding::LaunchResult::Started:
      return true;
    case encoding::LaunchResult::InputNotFound:
      Record(entry, Outcome::Failed, "the file is gone");
      return false;
    case encoding::LaunchResult::FolderNotCreated:
      Record(entry, Outcome::Failed, "cannot make the folder " + job.Plan().target_folder);
      return false;
    case encoding::LaunchResult::OwnOutput:
      Record(entry, Outcome::Skipped, "its MP3 would be the file itself");
      return false;
    case encoding::LaunchResult::ExistingKept:
      if (options_.resume)
        Record(entry, Outcome::AlreadyDone, job.Destination() + " (already there)");
      else
        Record(entry, Outcome::Skipped, job.Destination() + " exists (--overwrite replaces it)");
      return false;
    case encoding::LaunchResult::ShortOfSpace:
      Record(entry, Outcome::Skipped, "too little free space");
      return false;
    case encoding::LaunchResult::CommandLineTooLong:
      Record(entry, Outcome::Failed, "its command line is too long");
      return false;
    case encoding::LaunchResult::CannotStart:
      Record(entry, Outcome::Failed, "cannot start " + encoder_);
      return false;
  }
  return false;
}

void BatchRun::Finish(Running& running, int exit_code) {
  queue::TFileData& entry = running.job->Entry();
  const std::string time = " (" + Seconds(s_.clock.GetTickCount() - running.started) + ")";
  // What a failed encoder wrote is no MP3 anyone can use.
  const encoding::JobResult result =
      running.job->Finish(exit_code, {.delete_stopped = true, .delete_failed = true});
  const std::string& destination = running.job->Destination();
  if (result.end != encoding::JobResult::End::Completed) {
    const std::string why = result.error_line.empty() ? "" : ": " + result.error_line;
    Record(entry, Outcome::Failed,
           "the encoder failed (exit code " +
               std::to_string(exit_code == platform::kExitFailure ? 255 : exit_code) + ")" + time +
               why);
  } else if (result.taken) {
    Record(
        entry, Outcome::Failed,
        destination + " appeared while it was encoded: another program writes the same MP3" + time);
  } else if (result.move_failed) {
    Record(entry, Outcome::Failed, "cannot move the MP3 to " + destination + time);
  } else if (result.tag_failed) {
    Record(entry, Outcome::Failed, "the tag could not be written to " + destination + time);
  } else if (result.source_kept) {
    Record(entry, Outcome::Failed, "encoded to " + destination + time + ", but cannot be deleted");
  } else {
    Record(entry, Outcome::Encoded, destination + time);
  }
}

void BatchRun::Record(const queue::TFileData& entry, Outcome outcome, const std::string& text) {
  ++finished_files_;
  finished_bytes_ += entry.FileSize;
  switch (outcome) {
    case Outcome::Encoded:
      encoded_.push_back(&entry);
      finished_seconds_ += entry.Duration;
      report_.Line("done     " + entry.FileName + " -> " + text, false);
      return;
    case Outcome::AlreadyDone:
      ++already_done_;
      report_.Line("done     " + entry.FileName + " -> " + text, false);
      return;
    case Outcome::Skipped:
      ++skipped_;
      report_.Line("skipped  " + entry.FileName + ": " + text, true);
      return;
    case Outcome::Failed:
      ++failed_;
      report_.Line("failed   " + entry.FileName + ": " + text, true);
      return;
  }
}

void BatchRun::ShowProgress() {
  const int64_t total = total_bytes_;
  int64_t done = finished_bytes_;
  double seconds = finished_seconds_;
  const uint32_t now = s_.clock.GetTickCount();
  for (const Running& running : running_) {
    const queue::TFileData& entry = running.job->Entry();
    const int64_t size = std::max<int64_t>(0, running.job->OutputSize());
    const encoding::FileProgress progress =
        encoding::MeasureProgress(size, entry, now - running.started);
    const int64_t part = std::min(progress.done_bytes, entry.FileSize);
    done += part;
    if (entry.FileSize > 0)
      seconds += static_cast<double>(entry.Duration) * part / entry.FileSize;
  }
  const uint32_t elapsed = now - batch_start_;
  const long double percent =
      total > 0 ? static_cast<long double>(done) * 100 / static_cast<long double>(total) : 0;
  const double speed = elapsed > 0 ? seconds * 1000.0 / elapsed : 0;
  char figures[64];
  std::snprintf(figures, sizeof figures, "[%d/%zu] %5.1f%%", finished_files_, work_.size(),
                static_cast<double>(percent));
  // No estimate before anything is done.
  const std::string left =
      done > 0 ? encoding::SecondsToTime(encoding::RemainingSeconds(elapsed, percent)) : "--:--:--";
  // On a narrow terminal the speed goes first, then the elapsed time.
  report_.Bar({{figures, 4},
               {encoding::SpeedText(speed), 1},
               {"elapsed " + Seconds(elapsed), 2},
               {"left " + left, 3}});
}

int BatchRun::StopAll() {
  report_.EndBar();
  const int stopped = static_cast<int>(running_.size());
  for (Running& running : running_)
    running.job->Child()->Terminate(platform::kExitTerminated);
  for (Running& running : running_) {
    // Once it is gone, nothing writes to the partial MP3 any more.
    platform::ChildProcess& child = *running.job->Child();
    for (int wait = 0; wait < 100 && child.ExitCode() == platform::kStillActive; ++wait)
      ::usleep(50'000);
    running.job->Finish(platform::kExitTerminated, {.delete_stopped = true});
    report_.Line("stopped  " + running.job->Entry().FileName, true);
  }
  running_.clear();
  return stopped;
}

void BatchRun::SaveRemainingJobList() {
  std::vector<const queue::TFileData*> remaining;
  for (const queue::TFileData* entry : from_job_list_) {
    if (!entry->Encoded)
      remaining.push_back(entry);
  }
  if (!settings::WriteJobList(s_.files, s_.job_list_path, remaining))
    report_.Line("tolvane-batch: cannot write " + s_.job_list_path, true);
}

}  // namespace tolvane::cli
