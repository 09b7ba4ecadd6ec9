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
    auto connected = std::make_shared<Slots>(*state_->connected);
    connected->emplace(id, std::move(slot));
    state_->connected = std::move(connected);
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto state = weak.lock()) {
        auto connected = std::make_shared<Slots>(*state->connected);
        connected->erase(id);
        state->connected = std::move(connected);
      }
    });
  }

  void Emit(Args... args) const {
    // The slots as they are now: connections come and go rarely, notices often, so a change
    // copies the table and a notice only holds on to it.
    const std::shared_ptr<const Slots> snapshot = state_->connected;
    for (const auto& [id, slot] : *snapshot) {
      if (state_->connected->contains(id))
        slot(args...);
    }
  }

 private:
  using Slots = std::map<int, Slot>;
  struct State {
    std::shared_ptr<const Slots> connected = std::make_shared<Slots>();
    int next_id = 0;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tolvane::platform
