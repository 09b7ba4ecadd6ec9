#include "batch_run.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

#include "encoding/job_text.h"
#include "encoding/output_plan.h"
#include "encoding/progress_sum.h"
#include "mp3_length.h"
#include "queue/folder_scan.h"
#include "settings/encoder_path.h"
#include "settings/encoder_version.h"
#include "settings/job_list.h"
#include "shards.h"
#include "sources/source_tags.h"
#include "tags/id3_tag.h"

namespace tolvane::cli {

namespace {

constexpr unsigned kRefreshMs = 200;
// How long an interruption waits for the stopped encoders' ends.
constexpr uint32_t kStopWaitMs = 5000;

std::string Seconds(uint32_t ms) {
  return encoding::SecondsToTime(ms / 1000);
}

// The launch's questions, answered from the command line: an existing MP3 is replaced only with
// --overwrite; free space is not asked about.
class FlagAnswers final : public encoding::JobQuestions {
 public:
  FlagAnswers(const BatchOptions& options, std::function<bool()> existing_is_whole)
      : options_(options), existing_is_whole_(std::move(existing_is_whole)) {}
  // --overwrite replaces every MP3 there; --resume only one that falls short.
  bool ReplaceExisting(const std::string&) override {
    if (options_.overwrite)
      return true;
    incomplete_ = !existing_is_whole_();
    return options_.resume && incomplete_;
  }
  bool SkipShortOfSpace(const std::string&, encoding::SpaceCheck) override { return false; }
  bool Incomplete() const { return incomplete_; }

 private:
  const BatchOptions& options_;
  std::function<bool()> existing_is_whole_;
  bool incomplete_ = false;
};

// Whether the MP3 holds the source's whole length (within one of its frames).
bool CoversSource(platform::FileSystem& files, const std::string& mp3,
                  const queue::TFileData& source) {
  const Mp3Length length = MeasureMp3(files, mp3);
  const double bytes_per_second =
      static_cast<double>(source.SampleRate) * source.Channels * source.BitsPerSample / 8;
  if (length.frame_seconds == 0 || bytes_per_second <= 0)
    return false;
  return length.seconds + length.frame_seconds >=
         static_cast<double>(source.FileSize) / bytes_per_second;
}

}  // namespace

std::string BatchRun::WhyNoFolder(const std::string& target) const {
  // The nearest folder there says why (a read-only file system, or no permission), or the level
  // below it that could not be made.
  std::string folder = s_.paths.WithoutTrailingSeparator(target);
  std::string level = folder;
  while (!s_.files.FolderExists(folder) && s_.paths.FolderOf(folder) != folder) {
    level = folder;
    folder = s_.paths.FolderOf(folder);
  }
  if (const std::optional<std::string> why = s_.files.WhyCannotWriteIn(folder))
    return "cannot write in " + folder + ": " + *why;
  if (s_.files.Exists(level))
    return "cannot make the folder " + level + ": a file of that name is in the way";
  return "cannot make the folder " + target;
}

BatchRun::BatchRun(const BatchOptions& options, const Services& services, ConsoleReport& report)
    : options_(options), s_(services), report_(report) {}

void BatchRun::Collect() {
  const queue::EntryDefaults& defaults = options_.entry;
  if (options_.continue_list) {
    settings::ReadJobList(s_.files, s_.job_list_path, [&](const settings::JobRecordRead& record) {
      queue::TFileData* const entry = queue_.ProbeAndEnqueue(record.path, defaults).entry;
      if (entry == nullptr)
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
    const int before = queue_.Count();
    queue::AddFileOrFolder(queue_, s_.files, s_.paths, path, defaults, flags);
    if (options_.mirror && s_.files.FolderExists(path)) {
      for (int i = before; i < queue_.Count(); ++i)
        mirror_roots_[&queue_.At(i)] = path;
    }
  }
  unreadable_.insert(unreadable_.end(), flags.unlisted_folders.begin(),
                     flags.unlisted_folders.end());
  for (const auto& [path, why_unsupported] : flags.unsupported_files) {
    // A file that cannot be opened is not known to be unsupported.
    if (const std::optional<std::string> why = s_.files.WhyUnreadable(path))
      unreadable_.emplace_back(path, *why);
    else
      unsupported_.emplace_back(path, why_unsupported);
  }
  // Shards of about equal bytes, dealt alike on every machine that scans the same library.
  std::vector<int64_t> sizes;
  for (int i = 0; i < queue_.Count(); ++i)
    sizes.push_back(queue_.At(i).FileSize);
  const std::vector<int> dealt = DealBySize(sizes, options_.shards);
  shard_bytes_.assign(static_cast<size_t>(options_.shards), 0);
  shard_files_.assign(static_cast<size_t>(options_.shards), 0);
  for (int i = 0; i < queue_.Count(); ++i) {
    const size_t shard = static_cast<size_t>(dealt[static_cast<size_t>(i)]);
    shard_bytes_[shard] += sizes[static_cast<size_t>(i)];
    ++shard_files_[shard];
    if (dealt[static_cast<size_t>(i)] == options_.shard - 1)
      work_.push_back(&queue_.At(i));
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
  if (std::string clash = MirrorRoots(); !clash.empty()) {
    report_.Line(clash, true);
    return kUsageError;
  }
  encoder_ = settings::FindEncoder(options_.encoder, s_.program_folder, s_.files, s_.environment,
                                   s_.paths);
  version_label_ = settings::ReadEncoderVersion(s_.files, encoder_).label;
  PlanOutputs();
  if (options_.dry_run) {
    for (queue::TFileData* entry : work_) {
      const encoding::Job job(*entry, Settings(*entry),
                              {s_.files, s_.paths, s_.volumes, s_.processes, s_.clock, s_.loop});
      // A comment to a shell: the line still runs as it is.
      report_.Line(job.CommandLine() + "  # -> " + job.Destination(), false);
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
  std::vector<std::string> albums;
  for (const queue::TFileData* entry : work_) {
    total_bytes_ += entry->FileSize;
    albums.push_back(s_.paths.FolderOf(entry->FileName));
  }
  if (options_.replaygain)
    album_gains_.emplace(albums);
  batch_start_ = s_.clock.GetTickCount();
  platform::Subscription interruption;
  if (s_.interrupt_fd >= 0)
    interruption = s_.loop.WatchReadable(s_.interrupt_fd, [this] { interrupted_ = true; });
  size_t next = 0;
  while (next < work_.size() || !running_.empty()) {
    while (static_cast<int>(running_.size()) < options_.jobs && next < work_.size()) {
      if (std::unique_ptr<encoding::Job> job = Start(*work_[next++]))
        running_.push_back(std::move(job));
    }
    if (running_.empty())
      continue;
    ShowProgress();
    // Wakes for an encoder's end, the interruption, a resized terminal or the next redraw.
    s_.loop.WaitForMessages(kRefreshMs);
    if (interrupted_) {
      const int stopped = StopAll();
      ReportSummary("interrupted: ", ", " + std::to_string(stopped) + " stopped, " +
                                         std::to_string(work_.size() - next) + " not started");
      return kInterrupted;
    }
    // Encoders whose end the loop cannot watch (no notifier) are looked at in each turn.
    for (const std::unique_ptr<encoding::Job>& job : running_) {
      if (job->Child()->EndNotifier() < 0)
        job->CheckEnd();
    }
    ReportEnded();
  }
  report_.EndBar();
  ReportUnusableInputs();
  ReportSummary("", "");
  if (options_.continue_list)
    SaveRemainingJobList();
  const bool all = skipped_ == 0 && failed_ == 0 && UnusableInputs() == 0 && !album_tag_failed_;
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
  for (const auto& [path, why] : unsupported_)
    report_.Line("unsupported  " + path + (why.empty() ? "" : ": " + why), true);
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
        entry->FileName, OutputFolderOf(*entry), options_.tree_depth, version_label_, s_.paths);
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

std::string BatchRun::MirrorRoots() {
  std::map<std::string, std::string> by_name;  // a named folder's name, and that folder
  // In the order of the queue, so that the first of two folders of one name is named first.
  for (int i = 0; i < queue_.Count(); ++i) {
    const auto found = mirror_roots_.find(&queue_.At(i));
    if (found == mirror_roots_.end())
      continue;
    std::string& folder = found->second;
    folder = s_.paths.WithoutTrailingSeparator(folder);
    const auto [other, fresh] = by_name.emplace(s_.paths.NamePart(folder), folder);
    if (!fresh && other->second != folder) {
      return "tolvane-batch: --mirror: " + other->second + " and " + folder +
             " have the same name, and their trees would mix";
    }
  }
  // One named folder: its tree goes right below the output folder; several: each below its name.
  for (auto& [entry, folder] : mirror_roots_)
    folder =
        s_.paths.WithTrailingSeparator(by_name.size() == 1 ? folder : s_.paths.FolderOf(folder));
  return "";
}

std::string BatchRun::OutputFolderOf(const queue::TFileData& entry) const {
  const auto root = mirror_roots_.find(&entry);
  if (output_folder_.empty() || root == mirror_roots_.end())
    return output_folder_;
  // The source's folder below the named one, below the output folder.
  const std::string below = s_.paths.FolderPart(entry.FileName).substr(root->second.size());
  return s_.paths.WithTrailingSeparator(output_folder_) + below;
}

encoding::JobSettings BatchRun::Settings(const queue::TFileData& entry) {
  encoding::JobSettings settings;
  settings.encoder = encoder_;
  settings.version_label = version_label_;
  settings.output_folder = OutputFolderOf(entry);
  settings.tree_depth = options_.tree_depth;
  settings.check_space = false;
  // Only the places this run writes count: an MP3 beside the source is another run's.
  settings.beside_counts_as_existing = false;
  settings.staging_name = s_.staging.FolderName();
  settings.tag_of = [this](const queue::TFileData& entry) { return TagOf(entry); };
  // What a failed encoder wrote is no MP3 anyone can use.
  settings.unfinished = [] {
    return encoding::UnfinishedOutput{.delete_stopped = true, .delete_failed = true};
  };
  return settings;
}

std::optional<tags::SongTag> BatchRun::TagOf(const queue::TFileData& entry) {
  std::optional<tags::SongTag> tag;
  if (options_.source_tags)
    tag = sources::ReadSourceTags(entry.FileName);
  if (entry.HasTag)
    tag = tags::WithFields(tag.value_or(tags::SongTag{}), entry);
  if (album_gains_) {
    // The staged MP3 is still where the encoder wrote it, its report beside it.
    tags::SongTag measured = tag.value_or(tags::SongTag{});
    album_gains_->Measure(s_.files, entry.OutputPath, s_.paths.FolderOf(entry.FileName), measured);
    if (tag || !measured.replay_gain.empty())
      tag = std::move(measured);
    given_tags_[&entry] = tag;
  }
  return tag;
}

void BatchRun::AlbumEnded(const queue::TFileData& entry, bool encoded) {
  if (!album_gains_)
    return;
  const std::string folder = s_.paths.FolderOf(entry.FileName);
  const auto given = given_tags_.find(&entry);
  if (encoded && given != given_tags_.end() && given->second)
    album_gains_->Placed(folder, entry.OutputPath, *given->second);
  for (const auto& [mp3, tag] : album_gains_->Ended(folder)) {
    if (!tags::PutTags(s_.files, mp3, tag)) {
      report_.Line("failed   " + mp3 + ": its album's ReplayGain could not be written", true);
      album_tag_failed_ = true;
    }
  }
}

std::unique_ptr<encoding::Job> BatchRun::Start(queue::TFileData& entry) {
  auto started = std::make_unique<encoding::Job>(
      entry, Settings(entry),
      encoding::JobServices{s_.files, s_.paths, s_.volumes, s_.processes, s_.clock, s_.loop});
  const encoding::Job& job = *started;
  started->OnResult = [this, job = started.get()](const encoding::JobResult& result) {
    ended_.emplace_back(job, result);
  };
  FlagAnswers answers(options_, [&] { return CoversSource(s_.files, job.Destination(), entry); });
  switch (started->Launch(answers)) {
    case encoding::LaunchResult::Started:
      if (answers.Incomplete())
        report_.Line("again    " + job.Destination() + ": incomplete, encoded again", false);
      return started;
    case encoding::LaunchResult::InputNotFound:
      Record(entry, Outcome::Failed, "the file is gone");
      return nullptr;
    case encoding::LaunchResult::FolderNotCreated:
      Record(entry, Outcome::Failed, WhyNoFolder(job.Plan().target_folder));
      return nullptr;
    case encoding::LaunchResult::OwnOutput:
      Record(entry, Outcome::Skipped, "its MP3 would be the file itself");
      return nullptr;
    case encoding::LaunchResult::ExistingKept:
      if (options_.resume)
        Record(entry, Outcome::AlreadyDone, job.Destination() + " (already there)");
      else
        Record(entry, Outcome::Skipped,
               job.Destination() +
                   (answers.Incomplete() ? " exists but is incomplete" : " exists") +
                   " (--overwrite replaces it)");
      return nullptr;
    case encoding::LaunchResult::ShortOfSpace:
      Record(entry, Outcome::Skipped, "too little free space");
      return nullptr;
    case encoding::LaunchResult::CommandLineTooLong:
      Record(entry, Outcome::Failed, "its command line is too long");
      return nullptr;
    case encoding::LaunchResult::OutputNotCreated: {
      const std::optional<std::string> why =
          s_.files.FolderExists(job.Output())
              ? "a folder of that name is in the way"
              : s_.files.WhyCannotWriteIn(s_.paths.FolderOf(job.Output()));
      Record(entry, Outcome::Failed, "cannot create " + job.Output() + (why ? ": " + *why : ""));
      return nullptr;
    }
    case encoding::LaunchResult::CannotStart:
      Record(entry, Outcome::Failed, "cannot start " + encoder_);
      return nullptr;
  }
  return nullptr;
}

void BatchRun::ReportEnded() {
  for (const auto& [job, result] : std::exchange(ended_, {})) {
    Report(*job, result);
    std::erase_if(running_, [job = job](const auto& running) { return running.get() == job; });
  }
}

void BatchRun::Report(const encoding::Job& job, const encoding::JobResult& result) {
  const queue::TFileData& entry = job.Entry();
  const std::string time = " (" + Seconds(job.ElapsedMs()) + ")";
  const std::string& destination = result.destination;
  switch (result.end) {
    case encoding::JobResult::End::Stopped:
      report_.Line("stopped  " + entry.FileName, true);
      ++stopped_;
      return;
    case encoding::JobResult::End::Halted: {
      const std::string why = result.error_line.empty() ? "" : ": " + result.error_line;
      const int code = result.exit_code == platform::kExitFailure ? 255 : result.exit_code;
      Record(entry, Outcome::Failed,
             "the encoder failed (exit code " + std::to_string(code) + ")" + time + why);
      return;
    }
    case encoding::JobResult::End::Completed:
      break;
  }
  if (result.taken) {
    Record(
        entry, Outcome::Failed,
        destination + " appeared while it was encoded: another program writes the same MP3" + time);
  } else if (result.move_failed) {
    const std::string why = result.why_not_moved.empty() ? "" : ": " + result.why_not_moved;
    Record(entry, Outcome::Failed, "cannot move the MP3 to " + destination + why + time);
  } else if (result.tag_failed) {
    Record(entry, Outcome::Failed, "the tag could not be written to " + destination + time);
  } else if (result.source_kept) {
    Record(entry, Outcome::Failed, "encoded to " + destination + time + ", but cannot be deleted");
  } else {
    Record(entry, Outcome::Encoded, destination + time);
  }
}

void BatchRun::Record(const queue::TFileData& entry, Outcome outcome, const std::string& text) {
  AlbumEnded(entry, outcome == Outcome::Encoded);
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
  encoding::ProgressSum sum(static_cast<long double>(total_bytes_),
                            static_cast<long double>(finished_bytes_));
  double seconds = finished_seconds_;
  const uint32_t now = s_.clock.GetTickCount();
  for (const std::unique_ptr<encoding::Job>& job : running_) {
    const queue::TFileData& entry = job->Entry();
    const int64_t part = std::clamp<int64_t>(job->Progress().done_bytes, 0, entry.FileSize);
    sum.Add(static_cast<long double>(part));
    if (entry.FileSize > 0)
      seconds += static_cast<double>(entry.Duration) * part / entry.FileSize;
  }
  const uint32_t elapsed = now - batch_start_;
  const long double percent = sum.Percent();
  const bool any_done = sum.Done() > 0;
  const double speed = elapsed > 0 ? seconds * 1000.0 / elapsed : 0;
  char figures[64];
  std::snprintf(figures, sizeof figures, "[%d/%zu] %5.1f%%", finished_files_, work_.size(),
                static_cast<double>(percent));
  // No estimate before anything is done.
  const std::string left =
      any_done ? encoding::SecondsToTime(encoding::RemainingSeconds(elapsed, percent)) : "--:--:--";
  // On a narrow terminal the speed goes first, then the elapsed time.
  report_.Bar({{figures, 4},
               {encoding::SpeedText(speed), 1},
               {"elapsed " + Seconds(elapsed), 2},
               {"left " + left, 3}});
}

int BatchRun::StopAll() {
  report_.EndBar();
  // Once an encoder is gone, nothing writes to its partial MP3 any more. Each job's own end
  // decides, also one the loop reported in the turn of the signal.
  encoding::StopAndWait(
      [this] {
        std::vector<encoding::Job*> still;
        for (const std::unique_ptr<encoding::Job>& job : running_) {
          if (!job->ExitCode())
            still.push_back(job.get());
        }
        return still;
      },
      s_.loop, s_.clock, kStopWaitMs);
  ReportEnded();
  return stopped_;
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
