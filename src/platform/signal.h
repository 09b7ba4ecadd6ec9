#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace tolvane::platform {

// Ends a connection when destroyed. Safe whichever of the signal and the subscription dies first.
class Subscription final {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
  Subscription(Subscription&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      Reset();
      disconnect_ = std::exchange(other.disconnect_, {});
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { Reset(); }

  void Reset() {
    if (disconnect_)
      std::exchange(disconnect_, {})();
  }

 private:
  std::function<void()> disconnect_;
};

// A change notification that views observe. Slots run in the order they were connected; a slot
// may disconnect itself or others while the signal is being emitted.
template <typename... Args>
class Signal final {
 public:
  using Slot = std::function<void(Args...)>;

  [[nodiscard]] Subscription Connect(Slot slot) {
    const int id = state_->next_id++;
    state_->connected.emplace(id, std::move(slot));
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto state = weak.lock())
        state->connected.erase(id);
    });
  }

  void Emit(Args... args) const {
    if (state_->connected.empty())
      return;
    const auto snapshot = state_->connected;
    for (const auto& [id, slot] : snapshot) {
      if (state_->connected.contains(id))
        slot(args...);
    }
  }

 private:
  struct State {
    std::map<int, Slot> connected;
    int next_id = 0;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tolvane::platform
