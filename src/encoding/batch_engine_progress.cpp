// Following the running job: the progress tick, and the job's end as soon as the job reports it.
#include <algorithm>

#include "batch_engine.h"
#include "job_text.h"
#include "platform/number_text.h"
#include "totals.h"

namespace tolvane::encoding {

using platform::RoundHalfEven;
using platform::TicksBetween;

void BatchEngine::TimerTimer() {
  const EntryScope scope(*this);
  if (!Running() || Respond(state_, EntryPoint::JobEnd) != Response::Run)
    return;
  // An end the loop has not delivered yet is seen here (and reported through JobEnded).
  if (NowEncoding.RunningJob->CheckEnd())
    return;
  if (state_ == EngineState::Paused) {
    elapsed_visible_ = !elapsed_visible_;
    display_.ShowElapsedVisible(elapsed_visible_);
    return;
  }
  ShowProgress(host_.Options());
}

void BatchEngine::JobEnded(const JobResult& result) {
  const EntryScope scope(*this);
  switch (Respond(state_, EntryPoint::JobEnd)) {
    case Response::Ignore:
      return;
    case Response::Defer:
      end_deferred_ = result;
      return;
    case Response::Run:
      break;
  }
  switch (result.end) {
    case JobResult::End::Completed:
      FinishCompleted(result);
      return;
    case JobResult::End::Stopped:
      FinishStopped();
      return;
    case JobResult::End::Halted:
      // Any code but 0 and a stop's: the encoder failed. A batch must not wait for ever on a
      // code nobody expects.
      FinishHalted(result);
      return;
  }
}

void BatchEngine::ShowProgress(const EngineOptions& options) {
  queue::TFileData& entry = *NowEncoding.FileData;
  ProgressFigures figures;
  figures.free_space = DriveFreeSpace(volumes_, options.watched_volume).text;
  BatchLastTick = clock_.GetTickCount();
  const int64_t batch_seconds = TicksBetween(BatchStartTick, BatchLastTick) / 1000;

  const FileProgress progress = NowEncoding.RunningJob->Progress();
  NowEncoding.ShownMs = NowEncoding.RunningJob->ElapsedMs();
  Batch.Move(static_cast<long double>(entry.DoneBytes),
             static_cast<long double>(progress.done_bytes));
  entry.DoneBytes = progress.done_bytes;

  figures.running_number = platform::CountText(queue_.IndexOf(entry) + 1);
  queue_.SetState(entry, queue::EntryState::Encoding(progress.percent));
  figures.elapsed = SecondsToTime(batch_seconds);
  figures.speed = SpeedText(progress.speed);

  const long double batch_percent = Batch.Percent();
  const int64_t estimate =
      options.estimate_batch
          ? RemainingSeconds(TicksBetween(BatchStartTick, BatchLastTick), batch_percent)
          : progress.remaining;
  figures.estimate = SecondsToTime(estimate);
  figures.batch_percent = static_cast<int>(std::min<int64_t>(RoundHalfEven(batch_percent), 100));
  display_.ShowProgress(figures);
}

void BatchEngine::ForgetJob() {
  NowEncoding.RunningJob.reset();
  Timer.SetEnabled(false);
}

void BatchEngine::FinishCompleted(const JobResult& result) {
  queue::TFileData& entry = *NowEncoding.FileData;
  const auto seconds =
      static_cast<int32_t>(RoundHalfEven(NowEncoding.RunningJob->ElapsedMs() * 0.001L));
  entry.EncodeTime = seconds;
  // A job that completed just as it was told to stop completes; the batch stops all the same.
  const bool go_on = state_ == EngineState::Running || state_ == EngineState::Paused;
  const bool paused = state_ == EngineState::Paused;
  ForgetJob();
  JobOver();
  if (!go_on)
    display_.ShowStopping(false);
  // The job is done either way. What did not reach the MP3 is said in its row and in the log,
  // never in a box: a batch nobody watches must reach its end (and its power-off).
  std::string note;
  if (result.tag_failed) {
    note += ", tag not written";
    host_.Log("the ID3 tag could not be written into " + entry.OutputPath);
  }
  if (result.move_failed) {
    note += ", not moved";
    host_.Log(entry.OutputPath + " could not be moved to " + result.destination +
              (result.why_not_moved.empty() ? "" : ": " + result.why_not_moved));
  }
  queue_.SetState(entry, queue::EntryState::Completed(seconds, note));
  if (!go_on) {
    ResetCounters();
    display_.RefreshSelection();
    return;
  }

  const EngineOptions options = host_.Options();
  if (const NextJob next = StartNextJob(); next != NextJob::NothingQueued) {
    // A batch held by Pause stays held: the next job waits, suspended, for Pause to go up.
    if (next == NextJob::Started && paused) {
      NowEncoding.RunningJob->Suspend();
      Become(EngineState::Paused);
    }
    return;
  }
  ResetCounters();
  SetFinished(true);
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
  const uint32_t worked = NowEncoding.ShownMs;
  ForgetJob();
  JobOver();
  display_.ShowStopping(false);
  ResetCounters();
  entry.Started = false;
  queue_.SetState(entry, queue::EntryState::Stopped());
  ForgetWork(worked);
  display_.RefreshSelection();
}

void BatchEngine::FinishHalted(const JobResult& result) {
  queue::TFileData& entry = *NowEncoding.FileData;
  const uint32_t worked = NowEncoding.ShownMs;
  ForgetJob();
  JobOver();
  ResetCounters();
  entry.Started = false;
  // The encoder's own word on why stays on its row, for the pointer to find; the entry waits
  // again, also in the saved queue, while the message is open.
  queue_.SetState(entry, queue::EntryState::Halted(result.error_line));
  Tell(EngineFailure::EncoderHalted, paths_.NamePart(entry.FileName));
  ForgetWork(worked);
  display_.RefreshSelection();
}

}  // namespace tolvane::encoding
