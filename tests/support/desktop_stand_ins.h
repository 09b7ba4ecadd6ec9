#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/event_loop.h"
#include "platform/posix/poll_event_loop.h"
#include "platform/process.h"
#include "platform/ui/work_area.h"

namespace tolvane::testing {

// A work area the test sets.
class FixedWorkArea final : public ui::WorkArea {
 public:
  explicit FixedWorkArea(ui::Rect area) : area_(area) {}
  void Set(ui::Rect area) { area_ = area; }
  ui::Rect Get() const override { return area_; }

 private:
  ui::Rect area_;
};

// A message loop that runs only when the test says so; counts how often the program asked it. A
// test may give it something to do while the program waits for events (fire a timer, move the
// clock on), and pumps the descriptors the program watches with Pump().
class CountingEventLoop final : public platform::EventLoop {
 public:
  // Runs what was posted, as the program's loop would before it waits again.
  void ProcessMessages() override {
    ++calls_;
    RunPosted();
  }
  void Post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
  void RunPosted() {
    while (!posted_.empty()) {
      const std::function<void()> task = std::move(posted_.front());
      posted_.pop_front();
      task();
    }
  }
  void WaitForMessages(unsigned max_ms) override {
    ++calls_;
    if (on_wait)
      on_wait(max_ms);
  }
  platform::Subscription WatchReadable(int fd, std::function<void()> on_ready) override {
    return descriptors_.WatchReadable(fd, std::move(on_ready));
  }
  int Calls() const { return calls_; }
  // How many descriptors are watched.
  int Watches() const { return descriptors_.WatchCount(); }
  // Waits up to `limit`, in real time, for a watched descriptor to turn readable, and runs the
  // callbacks of those that are; false when none turned readable in time.
  bool Pump(std::chrono::milliseconds limit) {
    return descriptors_.RunReadable(static_cast<unsigned>(limit.count()));
  }

  std::function<void(unsigned)> on_wait;

 private:
  int calls_ = 0;
  std::deque<std::function<void()>> posted_;
  // The descriptors are watched as the batch tool's loop watches them.
  posix::PollEventLoop descriptors_;
};

// A current folder, PATH and home folder that the test sets.
class FixedEnvironment final : public platform::Environment {
 public:
  FixedEnvironment(std::string current_folder, std::string path, std::string home = {})
      : current_folder_(std::move(current_folder)),
        path_(std::move(path)),
        home_(std::move(home)) {}
  std::string CurrentFolder() const override { return current_folder_; }
  std::optional<std::string> Variable(const std::string& name) const override {
    if (name == "PATH")
      return path_;
    if (name == "HOME" && !home_.empty())
      return home_;
    return std::nullopt;
  }
  void SetHome(std::string home) { home_ = std::move(home); }

 private:
  std::string current_folder_;
  std::string path_;
  std::string home_;
};

// Time as the test sets it.
class ManualClock final : public platform::Clock {
 public:
  uint32_t GetTickCount() override { return now_; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t now) { now_ = now; }

 private:
  uint32_t now_ = 1'000'000;
};

// Records power-off requests instead of making them.
class RecordingPower final : public platform::SystemPower {
 public:
  void PowerOff() override { ++requests; }
  int requests = 0;
};

}  // namespace tolvane::testing
