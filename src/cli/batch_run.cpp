#include "batch_run.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "encoding/job_text.h"
#include "encoding/output_plan.h"
#include "options/id3_tag.h"
#include "queue/folder_scan.h"
#include "settings/encoder_path.h"
#include "settings/encoder_version.h"
#include "settings/job_list.h"

namespace tolvane::cli {

namespace {

constexpr int kRefreshMs = 200;

std::string Seconds(uint32_t ms) {
  return encoding::SecondsToTime(ms / 1000);
}

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
      missing_.push_back(path);
      continue;
    }
    queue::AddFileOrFolder(queue_, s_.files, s_.paths, path, defaults, flags);
  }
  unsupported_ = flags.unsupported_paths;
  // Every N-th input from the K-th on, in the scan's order: N machines split one library.
  for (int i = 0; i < rows_.Count(); ++i) {
    if (i % options_.shards == options_.shard - 1)
      work_.push_back(queue::EntryOf(rows_.Item(i)));
  }
  if (options_.tag) {
    for (queue::TFileData* entry : work_) {
      entry->HasTag = true;
      entry->TagTitle = options_.tag->title;
      entry->TagArtist = options_.tag->artist;
      entry->TagAlbum = options_.tag->album;
      entry->TagYear = options_.tag->year;
      entry->TagComment = options_.tag->comment;
      entry->TagGenre = options_.tag->genre;
    }
  }
}

int BatchRun::Run() {
  if (!options_.output_folder.empty())
    output_folder_ = s_.paths.Absolute(options_.output_folder, s_.environment.CurrentFolder());
  Collect();
  encoder_ = settings::FindEncoder(options_.encoder, s_.program_folder, s_.files, s_.environment,
                                   s_.paths);
  version_label_ = settings::ReadEncoderVersion(s_.files, encoder_).label;
  if (options_.dry_run) {
    for (const queue::TFileData* entry : work_) {
      const encoding::OutputPlan plan = encoding::PlanOutput(
          entry->FileName, output_folder_, options_.tree_depth, version_label_, s_.paths);
      report_.Line(encoding::BuildCommandLine(encoder_, version_label_, *entry, plan.target_folder,
                                              s_.paths),
                   false);
    }
    return kAllEncoded;
  }
  if (!work_.empty() && !s_.files.FileExists(encoder_)) {
    report_.Line("tolvane-batch: encoder not found: " + encoder_, true);
    return kSomeNotEncoded;
  }

  for (const queue::TFileData* entry : work_)
    total_bytes_ += entry->FileSize;
  batch_start_ = s_.clock.GetTickCount();
  size_t next = 0;
  while (next < work_.size() || !running_.empty()) {
    while (static_cast<int>(running_.size()) < options_.jobs && next < work_.size()) {
      Job job;
      if (Start(*work_[next++], job))
        running_.push_back(std::move(job));
    }
    if (running_.empty())
      continue;
    std::vector<pollfd> watched;
    for (const Job& job : running_) {
      if (job.child->EndNotifier() >= 0)
        watched.push_back({job.child->EndNotifier(), POLLIN, 0});
    }
    if (s_.interrupt_fd >= 0)
      watched.push_back({s_.interrupt_fd, POLLIN, 0});
    ::poll(watched.data(), watched.size(), kRefreshMs);
    if (s_.interrupt_fd >= 0 && (watched.back().revents & POLLIN) != 0) {
      StopAll();
      return kInterrupted;
    }
    for (auto job = running_.begin(); job != running_.end();) {
      const std::optional<int> code = job->child->ExitCode();
      if (code && *code != platform::kStillActive) {
        Finish(*job, *code);
        job = running_.erase(job);
      } else {
        ++job;
      }
    }
    ShowProgress();
  }
  report_.EndBar();
  for (const std::string& path : missing_)
    report_.Line("not found  " + path, true);
  for (const std::string& path : unsupported_)
    report_.Line("unsupported  " + path, true);
  report_.Line(std::to_string(encoded_.size()) + " encoded, " + std::to_string(skipped_) +
                   " skipped, " + std::to_string(failed_ + missing_.size() + unsupported_.size()) +
                   " failed, in " + Seconds(s_.clock.GetTickCount() - batch_start_),
               false);
  if (options_.continue_list)
    SaveRemainingJobList();
  const bool all = skipped_ == 0 && failed_ == 0 && missing_.empty() && unsupported_.empty();
  return all ? kAllEncoded : kSomeNotEncoded;
}

bool BatchRun::Start(queue::TFileData& entry, Job& job) {
  const encoding::OutputPlan plan = encoding::PlanOutput(
      entry.FileName, output_folder_, options_.tree_depth, version_label_, s_.paths);
  job.entry = &entry;
  job.output = plan.encoder_output;
  job.final_path = plan.output_folder.empty() ? plan.beside : plan.target;
  if (s_.files.SameFile(job.output, entry.FileName) ||
      s_.files.SameFile(job.final_path, entry.FileName)) {
    Record(entry, Outcome::Skipped, "its MP3 would be the file itself");
    return false;
  }
  if (!options_.overwrite &&
      (s_.files.FileExists(job.final_path) || s_.files.FileExists(job.output))) {
    Record(entry, Outcome::Skipped, job.final_path + " exists (--overwrite replaces it)");
    return false;
  }
  if (!encoding::MakeTargetFolders(s_.files, s_.paths, plan)) {
    Record(entry, Outcome::Failed, "cannot make the folder " + plan.target_folder);
    return false;
  }
  const std::string command_line =
      encoding::BuildCommandLine(encoder_, version_label_, entry, plan.target_folder, s_.paths);
  if (command_line.size() > encoding::kMaxCommandLine) {
    Record(entry, Outcome::Failed, "its command line is too long");
    return false;
  }
  entry.OutputPath = job.output;
  job.started = s_.clock.GetTickCount();
  job.child = s_.processes.Start(command_line, false);
  if (job.child == nullptr) {
    Record(entry, Outcome::Failed, "cannot start " + encoder_);
    return false;
  }
  return true;
}

void BatchRun::Finish(Job& job, int exit_code) {
  queue::TFileData& entry = *job.entry;
  const std::string time = " (" + Seconds(s_.clock.GetTickCount() - job.started) + ")";
  if (exit_code != 0) {
    // What a failed encoder wrote is no MP3 anyone can use.
    s_.files.Delete(job.output);
    Record(entry, Outcome::Failed,
           "the encoder failed (exit code " +
               std::to_string(exit_code == platform::kExitFailure ? 255 : exit_code) + ")" + time);
    return;
  }
  // An encoder without -OUTDIR wrote beside the source.
  if (job.output != job.final_path) {
    if (!s_.files.Move(job.output, job.final_path)) {
      Record(entry, Outcome::Failed, "cannot move the MP3 to " + job.final_path + time);
      return;
    }
    entry.OutputPath = job.final_path;
  }
  if (entry.HasTag && !options::WriteTag(s_.files, &entry)) {
    Record(entry, Outcome::Failed, "the tag could not be written to " + job.final_path + time);
    return;
  }
  entry.Encoded = true;
  Record(entry, Outcome::Encoded, job.final_path + time);
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
  for (const Job& job : running_) {
    const auto output = s_.files.Open(job.output, platform::OpenMode::Read);
    const int64_t size = output == nullptr ? 0 : std::max<int64_t>(0, output->Size());
    const encoding::FileProgress progress =
        encoding::MeasureProgress(size, *job.entry, now - job.started);
    const int64_t part = std::min(progress.done_bytes, job.entry->FileSize);
    done += part;
    if (job.entry->FileSize > 0)
      seconds += static_cast<double>(job.entry->Duration) * part / job.entry->FileSize;
  }
  const uint32_t elapsed = now - batch_start_;
  const long double percent =
      total > 0 ? static_cast<long double>(done) * 100 / static_cast<long double>(total) : 0;
  const double speed = elapsed > 0 ? seconds * 1000.0 / elapsed : 0;
  char figures[64];
  std::snprintf(figures, sizeof figures, "[%d/%zu] %5.1f%% ", finished_files_, work_.size(),
                static_cast<double>(percent));
  report_.Bar(figures + encoding::SpeedText(speed) + "  elapsed " + Seconds(elapsed) + "  left " +
              encoding::SecondsToTime(encoding::RemainingSeconds(elapsed, percent)));
}

void BatchRun::StopAll() {
  report_.EndBar();
  for (Job& job : running_)
    job.child->Terminate(platform::kExitTerminated);
  for (Job& job : running_) {
    // Once it is gone, nothing writes to the partial MP3 any more.
    for (int wait = 0; wait < 100 && job.child->ExitCode() == platform::kStillActive; ++wait)
      ::usleep(50'000);
    s_.files.Delete(job.output);
    report_.Line("stopped  " + job.entry->FileName, true);
  }
  running_.clear();
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
