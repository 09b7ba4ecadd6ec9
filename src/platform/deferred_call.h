#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "event_loop.h"

namespace tolvane::platform {

// Runs an action once from the loop however often it was requested in one turn of the loop: a
// burst of changes (ten thousand rows selected at once) costs one run, not one each. A pending
// run is dropped with the object.
class DeferredCall final {
 public:
  DeferredCall(EventLoop& loop, std::function<void()> action)
      : loop_(loop), state_(std::make_shared<State>(State{std::move(action), false})) {}
  DeferredCall(const DeferredCall&) = delete;
  DeferredCall& operator=(const DeferredCall&) = delete;

  void Request() {
    if (std::exchange(state_->pending, true))
      return;
    loop_.Post([weak = std::weak_ptr<State>(state_)] {
      if (const auto state = weak.lock(); state && std::exchange(state->pending, false))
        state->action();
    });
  }

 private:
  struct State {
    std::function<void()> action;
    bool pending;
  };
  EventLoop& loop_;
  std::shared_ptr<State> state_;
};

}  // namespace tolvane::platform
