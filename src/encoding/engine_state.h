#pragma once

namespace tolvane::encoding {

// What the window's engine is doing. Asking: one of its questions or messages is open, and
// whatever arrives meanwhile (from a nested loop: a file handed over, a signal, the encoder's
// end) must not start, stop or finish anything under it. Finished: idle after a batch that ran
// out of queued entries, so the next Encode queues every entry again ("Reset"). Closed: the
// program is closing or closed; nothing starts any more.
enum class EngineState { Idle, Finished, Asking, Running, Paused, Stopping, Closing, Closed };

// The ways in: the Encode button (pressed by the user, by an add with Autostart, by the
// intake), Stop, Pause, a close request (the window's, or a signal's), and the encoder's end.
enum class EntryPoint { Encode, Stop, Pause, Close, JobEnd };

// Run it now, run it once the open question is answered, or drop it.
enum class Response { Run, Defer, Ignore };

// The states in which a job runs.
constexpr bool HoldsJob(EngineState state) {
  return state == EngineState::Running || state == EngineState::Paused ||
         state == EngineState::Stopping || state == EngineState::Closing;
}

// The one table of what each entry point does in each state.
constexpr Response Respond(EngineState state, EntryPoint entry) {
  const bool job = HoldsJob(state);
  switch (entry) {
    case EntryPoint::Encode:
      // Encode is disabled while a job runs; a press under a question waits for its answer.
      return state == EngineState::Idle || state == EngineState::Finished ? Response::Run
             : state == EngineState::Asking                               ? Response::Defer
                                                                          : Response::Ignore;
    case EntryPoint::Stop:
    case EntryPoint::Pause:
      return state == EngineState::Running || state == EngineState::Paused ? Response::Run
                                                                           : Response::Ignore;
    case EntryPoint::Close:
      return state == EngineState::Asking    ? Response::Defer
             : state == EngineState::Closing ? Response::Ignore
                                             : Response::Run;
    case EntryPoint::JobEnd:
      return state == EngineState::Asking ? Response::Defer
             : job                        ? Response::Run
                                          : Response::Ignore;
  }
  return Response::Ignore;
}

}  // namespace tolvane::encoding
