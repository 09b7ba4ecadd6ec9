// Batch control: Encode (or Reset), Stop, Pause, the close request, and the idle state.
#include "batch_engine.h"
#include "platform/number_text.h"
#include "totals.h"

namespace tolvane::encoding {

namespace {
// How long a close waits for the stopped encoder's end.
constexpr uint32_t kCloseWaitMs = 10'000;
}  // namespace

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

BatchEngine::~BatchEngine() {
  if (Running() && NowEncoding.ProcessInfo)
    NowEncoding.ProcessInfo->Terminate(platform::kExitTerminated);
}

void BatchEngine::ResetCounters() {
  paused_ = false;
  display_.ShowIdle();
  if (!elapsed_visible_) {
    elapsed_visible_ = true;
    display_.ShowElapsedVisible(true);
  }
}

void BatchEngine::UpdateTotals() {
  const EngineOptions options = host_.Options();
  const Totals totals =
      ComputeTotals(queue_.Rows(), options.output_folder, options.watched_volume, volumes_);
  BatchTotal = totals.batch_total;
  BatchDone = totals.batch_done;
  display_.ShowTotals(platform::CountText(totals.count),
                      platform::MegabytesText(static_cast<long double>(totals.required)));
}

void BatchEngine::Encode() {
  if (Running())
    return;
  if (!finished_) {
    const int result = StartNextJob();
    if (result == 0) {
      // The batch clock goes on from the time it showed.
      BatchStartTick = clock_.GetTickCount() - (BatchLastTick - BatchStartTick);
    } else if (result == 1) {
      prompts_.Report(EngineFailure::NothingToDo, "");
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
  finished_ = false;
  display_.ShowFinished(false);
  ResetCounters();
}

void BatchEngine::TerminateChild() {
  if (NowEncoding.ProcessInfo)
    NowEncoding.ProcessInfo->Terminate(platform::kExitTerminated);
  display_.ShowStopping(true);
}

void BatchEngine::Stop() {
  const bool yes = prompts_.ConfirmStop();
  // The job may have ended, and the batch with it, while the question was open.
  if (!Running())
    return;
  if (yes) {
    TerminateChild();
  } else {
    display_.ShowStopDeclined();
  }
}

void BatchEngine::SetPaused(bool paused) {
  if (paused == paused_ || !Running())
    return;
  paused_ = paused;
  if (paused) {
    if (NowEncoding.ProcessInfo)
      NowEncoding.ProcessInfo->Suspend();
    PauseTick = clock_.GetTickCount();
    return;
  }
  if (NowEncoding.ProcessInfo)
    NowEncoding.ProcessInfo->Resume();
  const uint32_t paused_for = platform::TicksBetween(PauseTick, clock_.GetTickCount());
  PauseTick = paused_for;
  NowEncoding.StartTick += paused_for;
  BatchStartTick += paused_for;
  elapsed_visible_ = true;
  display_.ShowElapsedVisible(true);
}

bool BatchEngine::CloseQuery(bool unattended) {
  if (!Running())
    return true;
  // Nobody is there to answer a close by a signal: stopping the encoder loses nothing but the
  // file in progress, which goes back to the queue.
  const bool yes = unattended || prompts_.ConfirmClose();
  if (!Running())
    return yes;
  if (!yes) {
    display_.ShowStopDeclined();
    return false;
  }
  TerminateChild();
  host_.SaveSettings();
  // The stopped job's end arrives through the loop; the wait is bounded, as the child was killed.
  const uint32_t start = clock_.GetTickCount();
  while (Running() && platform::TicksBetween(start, clock_.GetTickCount()) < kCloseWaitMs)
    loop_.WaitForMessages(250);
  return true;
}

}  // namespace tolvane::encoding
