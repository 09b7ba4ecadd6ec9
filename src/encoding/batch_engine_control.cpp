// Batch control: Encode (or Reset), Stop, Pause, the close request, the idle state, and what
// each of them does in each state of the engine.
#include <algorithm>

#include "batch_engine.h"
#include "platform/number_text.h"
#include "totals.h"

namespace tolvane::encoding {

namespace {
// How long a close waits for the stopped encoder's end.
constexpr uint32_t kCloseWaitMs = 10'000;
}  // namespace

void BatchEngine::Tell(EngineFailure failure, const std::string& source_name) {
  Ask([&] {
    prompts_.Report(failure, source_name);
    return true;
  });
}

BatchEngine::BatchEngine(const Services& services)
    : queue_(services.queue),
      display_(services.display),
      prompts_(services.prompts),
      host_(services.host),
      files_(services.files),
      paths_(services.paths),
      volumes_(services.volumes),
      clock_(services.clock),
      processes_(services.processes),
      power_(services.power),
      loop_(services.loop) {
  Timer.OnTimer = [this] { TimerTimer(); };
}

// The running job, if any, ends its encoder as it goes.
BatchEngine::~BatchEngine() = default;

void BatchEngine::RunDeferred() {
  if (const std::optional<JobResult> result = std::exchange(end_deferred_, std::nullopt))
    JobEnded(*result);
  if (std::exchange(encode_deferred_, false))
    Encode();
  if (const std::optional<bool> unattended = std::exchange(close_deferred_, std::nullopt))
    host_.CloseProgram(*unattended);
}

void BatchEngine::ResetCounters() {
  display_.ShowIdle();
  if (!elapsed_visible_) {
    elapsed_visible_ = true;
    display_.ShowElapsedVisible(true);
  }
}

void BatchEngine::UpdateTotals() {
  const EngineOptions options = host_.Options();
  const Totals totals =
      ComputeTotals(queue_, options.output_folder, options.watched_volume, volumes_);
  Batch = {totals.batch_total, totals.batch_done};
  display_.ShowTotals(platform::CountText(totals.count),
                      platform::MegabytesText(static_cast<long double>(totals.required)));
}

void BatchEngine::SetFinished(bool finished) {
  at_rest_ = finished ? EngineState::Finished : EngineState::Idle;
  if (state_ == EngineState::Idle || state_ == EngineState::Finished)
    Become(at_rest_);
  display_.ShowFinished(finished);
}

void BatchEngine::ForgetWork(uint32_t ms) {
  const uint32_t elapsed = platform::TicksBetween(BatchStartTick, BatchLastTick);
  BatchStartTick += std::min(ms, elapsed);
}

void BatchEngine::Encode() {
  const EntryScope scope(*this);
  switch (Respond(state_, EntryPoint::Encode)) {
    case Response::Ignore:
      return;
    case Response::Defer:
      encode_deferred_ = true;
      return;
    case Response::Run:
      break;
  }
  if (state_ != EngineState::Finished) {
    const NextJob next = StartNextJob();
    if (next == NextJob::Started) {
      // The batch clock goes on from the time it showed, also when the job ends before it
      // shows anything.
      const uint32_t now = clock_.GetTickCount();
      BatchStartTick = now - (BatchLastTick - BatchStartTick);
      BatchLastTick = now;
    } else if (next == NextJob::NothingQueued) {
      Tell(EngineFailure::NothingToDo, "");
      Timer.SetEnabled(false);
      ResetCounters();
    }
    return;
  }
  queue_.RequeueAll();
  BatchStartTick = 0;
  BatchLastTick = 0;
  display_.ShowElapsed("00:00:00");
  UpdateTotals();
  display_.RefreshSelection();
  SetFinished(false);
  ResetCounters();
}

void BatchEngine::TerminateChild() {
  if (Running())
    NowEncoding.RunningJob->Stop();
  display_.ShowStopping(true);
}

void BatchEngine::Stop() {
  const EntryScope scope(*this);
  if (Respond(state_, EntryPoint::Stop) != Response::Run)
    return;
  // The job's end, should it come while the question is open, is handled after the answer.
  if (Ask([this] { return prompts_.ConfirmStop(); })) {
    TerminateChild();
    Become(EngineState::Stopping);
  } else {
    display_.ShowStopDeclined();
  }
}

void BatchEngine::SetPaused(bool paused) {
  const EntryScope scope(*this);
  if (Respond(state_, EntryPoint::Pause) != Response::Run || paused == Paused())
    return;
  Job* job = NowEncoding.RunningJob.get();
  if (paused) {
    Become(EngineState::Paused);
    if (job != nullptr)
      job->Suspend();
    PauseTick = clock_.GetTickCount();
    return;
  }
  Become(EngineState::Running);
  if (job != nullptr)
    job->Resume();
  const uint32_t paused_for = platform::TicksBetween(PauseTick, clock_.GetTickCount());
  PauseTick = paused_for;
  BatchStartTick += paused_for;
  // The clock still shows what it showed before the pause, should the job end before a tick.
  BatchLastTick += paused_for;
  elapsed_visible_ = true;
  display_.ShowElapsedVisible(true);
}

bool BatchEngine::CloseQuery(bool unattended) {
  const EntryScope scope(*this);
  switch (Respond(state_, EntryPoint::Close)) {
    case Response::Ignore:
      return false;
    case Response::Defer:
      close_deferred_ = unattended || close_deferred_.value_or(false);
      return false;
    case Response::Run:
      break;
  }
  if (!Running()) {
    // Nothing starts once the window may go: no name handed over meanwhile, no Autostart.
    Become(EngineState::Closed);
    return true;
  }
  // Nobody is there to answer a close by a signal: stopping the encoder loses nothing but the
  // file in progress, which goes back to the queue.
  const bool yes = unattended || Ask([this] { return prompts_.ConfirmClose(); });
  if (!Running()) {
    if (yes)
      Become(EngineState::Closed);
    return yes;
  }
  if (!yes) {
    display_.ShowStopDeclined();
    return false;
  }
  TerminateChild();
  Become(EngineState::Closing);
  host_.SaveSettings();
  // An end that came while the question was open is the end this close waits for.
  if (const std::optional<JobResult> result = std::exchange(end_deferred_, std::nullopt))
    JobEnded(*result);
  StopAndWait(
      [this] {
        Job* job = NowEncoding.RunningJob.get();
        return job != nullptr && !job->ExitCode() ? std::vector{job} : std::vector<Job*>{};
      },
      loop_, clock_, kCloseWaitMs);
  return true;
}

}  // namespace tolvane::encoding
