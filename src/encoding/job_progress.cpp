// Following the running job: the progress tick, and the job's end as soon as it is seen.
#include <algorithm>

#include "batch_engine.h"
#include "job_text.h"
#include "platform/number_text.h"
#include "totals.h"

namespace tolvane::encoding {

using platform::RoundHalfEven;
using platform::TicksBetween;

void BatchEngine::TimerTimer() {
  CheckChild(true);
}

void BatchEngine::WatchChildEnd() {
  const int fd = NowEncoding.Child()->EndNotifier();
  if (fd >= 0)
    end_watch_ = loop_.WatchReadable(fd, [this] { CheckChild(false); });
}

void BatchEngine::CheckChild(bool tick) {
  const EntryScope scope(*this);
  platform::ChildProcess* child = NowEncoding.Child();
  if (child == nullptr)
    return;
  switch (Respond(state_, EntryPoint::JobEnd)) {
    case Response::Ignore:
      return;
    case Response::Defer:
      // Looked at once the question is answered; the watch would only fire again meanwhile.
      if (!tick) {
        end_watch_.Reset();
        end_deferred_ = true;
      }
      return;
    case Response::Run:
      break;
  }
  const std::optional<int> code = child->ExitCode();
  if (!code || *code == platform::kStillActive) {
    // A notifier that fires for a child nobody can ask about is dropped: the tick goes on.
    if (!tick) {
      if (!code)
        end_watch_.Reset();
      return;
    }
    if (!code)
      return;
    if (state_ == EngineState::Paused) {
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
    FinishHalted(*code);
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
  const FileProgress progress =
      MeasureProgress(NowEncoding.RunningJob->OutputSize(), entry,
                      TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick));
  entry.DoneBytes = progress.done_bytes;
  BatchDone += entry.DoneBytes;

  figures.running_number = platform::CountText(NowEncoding.Item->Index() + 1);
  // The size is an estimate from the bitrate: an output past it is done, not more than done.
  const int64_t shown_percent = std::min<int64_t>(RoundHalfEven(progress.percent), 100);
  NowEncoding.Item->SetSubItem(0, std::to_string(shown_percent) + "% completed");
  NowEncoding.Item->SetImageIndex(static_cast<int>(progress.percent * 0.04L));
  figures.elapsed = SecondsToTime(batch_seconds);
  figures.speed = SpeedText(progress.speed);

  const long double batch_percent = BatchTotal == 0 ? 0 : BatchDone / BatchTotal * 100;
  const int64_t estimate =
      options.estimate_batch
          ? RemainingSeconds(TicksBetween(BatchStartTick, BatchLastTick), batch_percent)
          : progress.remaining;
  figures.estimate = SecondsToTime(estimate);
  figures.batch_percent = static_cast<int>(std::min<int64_t>(RoundHalfEven(batch_percent), 100));
  display_.ShowProgress(figures);
}

JobResult BatchEngine::EndJob(int exit_code) {
  const EngineOptions options = host_.Options();
  const JobResult result = NowEncoding.RunningJob->Finish(
      exit_code, {.delete_stopped = options.delete_partial, .delete_failed = false});
  NowEncoding.RunningJob.reset();
  Timer.SetEnabled(false);
  return result;
}

void BatchEngine::FinishCompleted() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.LastTick = clock_.GetTickCount();
  const auto seconds = static_cast<int32_t>(
      RoundHalfEven(TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick) * 0.001L));
  entry.EncodeTime = seconds;
  // A job that completed just as it was told to stop completes; the batch stops all the same.
  const bool go_on = state_ == EngineState::Running || state_ == EngineState::Paused;
  const JobResult result = EndJob(0);
  state_ = EngineState::Idle;
  if (!go_on)
    display_.ShowStopping(false);
  // The job is done either way. What did not reach the MP3 is said in its row and in the log,
  // never in a box: a batch nobody watches must reach its end (and its power-off).
  std::string status = "Completed in " + SecondsToTime(seconds);
  if (result.tag_failed) {
    status += ", tag not written";
    host_.Log("the ID3 tag could not be written into " + entry.OutputPath);
  }
  if (result.move_failed) {
    status += ", not moved";
    host_.Log(entry.OutputPath + " could not be moved to " + result.destination);
  }
  NowEncoding.Item->SetSubItem(0, status);
  NowEncoding.Item->SetImageIndex(4);
  if (!go_on) {
    ResetCounters();
    display_.RefreshSelection();
    return;
  }

  const EngineOptions options = host_.Options();
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
      host_.CloseProgram(false);
      break;
    case EngineOptions::OnEnd::Nothing:
      break;
  }
}

void BatchEngine::FinishStopped() {
  queue::TFileData& entry = *NowEncoding.FileData;
  EndJob(platform::kExitTerminated);
  state_ = EngineState::Idle;
  display_.ShowStopping(false);
  ResetCounters();
  entry.Started = false;
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  display_.RefreshSelection();
}

void BatchEngine::FinishHalted(int exit_code) {
  queue::TFileData& entry = *NowEncoding.FileData;
  const JobResult result = EndJob(exit_code);
  // The encoder's own word on why stays on its row, for the pointer to find.
  NowEncoding.Item->SetHint(result.error_line);
  state_ = EngineState::Idle;
  ResetCounters();
  entry.Started = false;
  Tell(EngineFailure::EncoderHalted, paths_.NamePart(entry.FileName));
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  display_.RefreshSelection();
}

}  // namespace tolvane::encoding
