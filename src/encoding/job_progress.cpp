// Following the running job: the progress tick, and the job's end as soon as it is seen.
#include "batch_engine.h"
#include "job_text.h"
#include "options/id3_tag.h"
#include "platform/number_text.h"
#include "totals.h"

namespace tolvane::encoding {

using platform::RoundHalfEven;
using platform::TicksBetween;

void BatchEngine::TimerTimer() {
  CheckChild(true);
}

void BatchEngine::WatchChildEnd() {
  const int fd = NowEncoding.ProcessInfo->EndNotifier();
  if (fd >= 0)
    end_watch_ = loop_.WatchReadable(fd, [this] { CheckChild(false); });
}

void BatchEngine::CheckChild(bool tick) {
  if (!Running() || NowEncoding.ProcessInfo == nullptr)
    return;
  const std::optional<int> code = NowEncoding.ProcessInfo->ExitCode();
  if (!code || *code == platform::kStillActive) {
    // A notifier that fires for a child nobody can ask about is dropped: the tick goes on.
    if (!tick) {
      if (!code)
        end_watch_.Reset();
      return;
    }
    if (!code)
      return;
    if (paused_) {
      elapsed_visible_ = !elapsed_visible_;
      display_.ShowElapsedVisible(elapsed_visible_);
      return;
    }
    ShowProgress(host_.Options());
    return;
  }
  end_watch_.Reset();
  if (*code == 0) {
    FinishCompleted();
  } else if (*code == platform::kExitTerminated) {
    FinishStopped();
  } else {
    // -1, and any other code: the encoder failed. A batch must not wait for ever on a code
    // nobody expects.
    FinishHalted();
  }
}

void BatchEngine::ShowProgress(const EngineOptions& options) {
  queue::TFileData& entry = *NowEncoding.FileData;
  ProgressFigures figures;
  figures.free_space = DriveFreeSpace(volumes_, options.watched_volume).text;
  NowEncoding.LastTick = clock_.GetTickCount();
  BatchLastTick = clock_.GetTickCount();
  const int64_t batch_seconds = TicksBetween(BatchStartTick, BatchLastTick) / 1000;

  BatchDone -= entry.DoneBytes;
  const int64_t size = NowEncoding.OutHandle ? NowEncoding.OutHandle->Size() : -1;
  const FileProgress progress =
      MeasureProgress(size, entry, TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick));
  entry.DoneBytes = progress.done_bytes;
  BatchDone += entry.DoneBytes;

  figures.running_number = platform::CountText(NowEncoding.Item->Index() + 1);
  NowEncoding.Item->SetSubItem(0, std::to_string(RoundHalfEven(progress.percent)) + "% completed");
  NowEncoding.Item->SetImageIndex(static_cast<int>(progress.percent * 0.04L));
  figures.elapsed = SecondsToTime(batch_seconds);
  figures.speed = SpeedText(progress.speed);

  const long double batch_percent = BatchTotal == 0 ? 0 : BatchDone / BatchTotal * 100;
  const int64_t estimate =
      options.estimate_batch
          ? RemainingSeconds(TicksBetween(BatchStartTick, BatchLastTick), batch_percent)
          : progress.remaining;
  figures.estimate = SecondsToTime(estimate);
  figures.batch_percent = static_cast<int>(RoundHalfEven(batch_percent));
  display_.ShowProgress(figures);
}

void BatchEngine::FinishCompleted() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.LastTick = clock_.GetTickCount();
  const auto seconds = static_cast<int32_t>(
      RoundHalfEven(TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick) * 0.001L));
  entry.EncodeTime = seconds;
  NowEncoding.Item->SetSubItem(0, "Completed in " + SecondsToTime(seconds));
  NowEncoding.Item->SetImageIndex(4);
  NowEncoding.OutHandle.reset();
  Timer.SetEnabled(false);
  // The job is done either way; what did not reach the MP3 is said, not passed over.
  const std::string source_name = paths_.NamePart(entry.FileName);
  if (entry.HasTag && !options::WriteTag(files_, &entry))
    prompts_.Report(EngineFailure::TagNotWritten, source_name);
  entry.Encoded = true;

  // Encoders before -OUTDIR wrote beside the source: the output moves to the target folder.
  const EngineOptions options = host_.Options();
  if (!VersionAtLeast(options.version_label, kOutdirVersion) && !options.output_folder.empty()) {
    const std::string destination =
        paths_.WithTrailingSeparator(options.output_folder) + paths_.NamePart(NowEncoding.OutName);
    if (files_.FileExists(destination) && destination != NowEncoding.OutName)
      files_.Delete(destination);
    if (!files_.Move(NowEncoding.OutName, destination))
      prompts_.Report(EngineFailure::OutputNotMoved, source_name);
  }

  if (StartNextJob() != 1)
    return;
  ResetCounters();
  finished_ = true;
  display_.ShowFinished(true);
  switch (options.on_end) {
    case EngineOptions::OnEnd::PowerOff:
      host_.SaveSettings();
      power_.PowerOff();
      break;
    case EngineOptions::OnEnd::Close:
      host_.CloseProgram();
      break;
    case EngineOptions::OnEnd::Nothing:
      break;
  }
}

void BatchEngine::FinishStopped() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.OutHandle.reset();
  display_.ShowStopping(false);
  ResetCounters();
  Timer.SetEnabled(false);
  if (host_.Options().delete_partial)
    files_.Delete(NowEncoding.OutName);
  entry.Started = false;
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  display_.RefreshSelection();
}

void BatchEngine::FinishHalted() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.OutHandle.reset();
  // The encoder gave up before writing anything (an input it cannot read): the empty file this
  // job made for it is no output of anyone's.
  if (const auto output = files_.Open(NowEncoding.OutName, platform::OpenMode::Read);
      output != nullptr && output->Size() == 0) {
    files_.Delete(NowEncoding.OutName);
  }
  ResetCounters();
  Timer.SetEnabled(false);
  entry.Started = false;
  prompts_.Report(EngineFailure::EncoderHalted, paths_.NamePart(entry.FileName));
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  display_.RefreshSelection();
}

}  // namespace tolvane::encoding
