#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "engine_display.h"
#include "engine_host.h"
#include "engine_prompts.h"
#include "engine_state.h"
#include "job.h"
#include "now_encoding.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/timer.h"
#include "platform/volumes.h"
#include "progress_sum.h"
#include "queue/queue.h"

namespace tolvane::encoding {

// The window's batch engine: runs one Job at a time for the first queued entry, follows it
// through the progress tick, finishes it the moment it ends, and goes on until nothing is
// queued. It owns the running job, the batch clock and the batch sums; it shows what happens
// through EngineDisplay, asks through EnginePrompts, and reads its options from EngineHost.
// Every entry point asks Respond() what to do in the engine's state, so nothing starts, stops or
// finishes under an open question.
class BatchEngine final {
 public:
  struct Services {
    queue::Queue& queue;
    EngineDisplay& display;
    EnginePrompts& prompts;
    EngineHost& host;
    platform::FileSystem& files;
    const platform::Paths& paths;
    platform::Volumes& volumes;
    platform::Clock& clock;
    platform::Processes& processes;
    platform::SystemPower& power;
    // Watches the running encoder's end, and is pumped while a close waits for it.
    platform::EventLoop& loop;
  };

  explicit BatchEngine(const Services& services);
  // A job still running is ended: no encoder outlives the program.
  ~BatchEngine();
  BatchEngine(const BatchEngine&) = delete;
  BatchEngine& operator=(const BatchEngine&) = delete;

  // Batch control. Encode starts or continues the batch (or, after a finished batch, queues every
  // row again); Stop asks, then ends the running job; SetPaused holds or resumes it.
  void Encode();
  void Stop();
  void SetPaused(bool paused);
  // A close request: true when the window may close. While a job runs it asks (unless
  // `unattended`), then stops the job, saves, and waits (at most 10 s) until the job has ended.
  // Under an open question it is refused now and made again, through the host, once the
  // question is answered.
  bool CloseQuery(bool unattended);
  // Buttons and running figures back to idle.
  void ResetCounters();
  // The batch sums, the row count and the required space, after any change of the queue, of an
  // entry's bitrate, of the target folder or of the watched volume.
  void UpdateTotals();
  // Work that left the queue (a removed row's encoding time) no longer counts in the batch's
  // elapsed time; the elapsed time never goes below zero for it.
  void ForgetWork(uint32_t ms);

  EngineState State() const { return state_; }
  // A job runs (from its launch until its end was handled), also under a question.
  bool Running() const { return HoldsJob(state_ == EngineState::Asking ? asked_over_ : state_); }
  // The batch ran out of queued entries: the next Encode queues every row again.
  bool Finished() const { return state_ == EngineState::Finished; }
  bool Paused() const { return state_ == EngineState::Paused; }
  // The running job's encoder, or null.
  platform::ChildProcess* RunningChild() const { return NowEncoding.Child(); }
  // The progress tick, every second while a job runs; the window's loop drives it.
  platform::Timer& ProgressTimer() { return Timer; }
  const platform::Timer& ProgressTimer() const { return Timer; }
  // The batch's sums of source bytes: all of the queue, and what is done of it.
  long double BatchTotalBytes() const { return Batch.Total(); }
  long double BatchDoneBytes() const { return Batch.Done(); }

 private:
  // How a look for the next job ended: one started, nothing was queued, or the batch stopped on
  // an error that was reported.
  enum class NextJob { Started, NothingQueued, Failed };
  // Launches the first queued entry.
  NextJob StartNextJob();
  // The one-second tick: progress while the job runs, its end if the end was not seen already.
  void TimerTimer();
  // Every change of state_ goes through here.
  void Become(EngineState next) { state_ = next; }
  // After a job's end: idle, or closed when a close waits for it.
  void JobOver() { Become(state_ == EngineState::Closing ? EngineState::Closed : at_rest_); }
  // Shows the batch finished (the caption "Reset") or not, and rests there between jobs.
  void SetFinished(bool finished);

  // Marks one call of an entry point; when the outermost one returns, what arrived under a
  // question runs.
  class EntryScope final {
   public:
    explicit EntryScope(BatchEngine& engine) : engine_(engine) { ++engine_.entry_depth_; }
    ~EntryScope() {
      if (--engine_.entry_depth_ == 0)
        engine_.RunDeferred();
    }
    EntryScope(const EntryScope&) = delete;
    EntryScope& operator=(const EntryScope&) = delete;

   private:
    BatchEngine& engine_;
  };
  class LaunchQuestions;
  // Shows a question or a message with the engine in the Asking state.
  template <typename Question>
  auto Ask(Question&& question) {
    const EngineState before = state_;
    const EngineState over = asked_over_;
    if (before != EngineState::Asking)
      asked_over_ = before;
    Become(EngineState::Asking);
    auto answer = question();
    asked_over_ = over;
    Become(before);
    return answer;
  }
  void Tell(EngineFailure failure, const std::string& source_name);
  // Runs what arrived under a question, once the outermost entry point is done.
  void RunDeferred();
  // Launch steps that give up on the entry: back to `status` with a report, or passed over.
  NextJob FailLaunch(EngineFailure failure, const std::string& source_name);
  void PassOver(queue::EntryState state);
  // The running job's result, reported by the job: handled now or, under a question, once it
  // is answered.
  void JobEnded(const JobResult& result);
  void ShowProgress(const EngineOptions& options);
  JobSettings CurrentJobSettings(const EngineOptions& options, const std::string& encoder) const;
  void FinishCompleted(const JobResult& result);
  void FinishStopped();
  void FinishHalted(const JobResult& result);
  // The running job is over: it goes, and the tick with it.
  void ForgetJob();
  void TerminateChild();

  queue::Queue& queue_;
  EngineDisplay& display_;
  EnginePrompts& prompts_;
  EngineHost& host_;
  platform::FileSystem& files_;
  const platform::Paths& paths_;
  platform::Volumes& volumes_;
  platform::Clock& clock_;
  platform::Processes& processes_;
  platform::SystemPower& power_;
  platform::EventLoop& loop_;
  EngineState state_ = EngineState::Idle;
  // The state an open question was asked in.
  EngineState asked_over_ = EngineState::Idle;
  int entry_depth_ = 0;
  // What arrived under a question: the running job's result, Encode, a close.
  std::optional<JobResult> end_deferred_;
  bool encode_deferred_ = false;
  std::optional<bool> close_deferred_;  // unattended or not
  bool elapsed_visible_ = true;
  // Where the engine rests when no job runs: Idle, or Finished once the caption reads "Reset".
  EngineState at_rest_ = EngineState::Idle;

  // The progress tick, every second while a job runs.
  platform::Timer Timer{"Timer", 1000};
  // The running job, and the batch's clock and sums (bytes).
  TNowEncoding NowEncoding;
  uint32_t BatchStartTick = 0;
  uint32_t BatchLastTick = 0;
  uint32_t PauseTick = 0;
  ProgressSum Batch;
};

}  // namespace tolvane::encoding
