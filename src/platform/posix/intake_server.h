#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/intake.h"
#include "platform/timer.h"
#include "unique_fd.h"

namespace tolvane::posix {

// The intake: a Unix stream socket that other programs of the same user send commands to. A
// frame is a 4-byte little-endian length N and N bytes of command text; each is answered with
// one byte, 1 when the handler took the command, 0 when it refused it. Everything runs on the
// event loop and nothing waits for a peer: a peer of another user is turned away, a frame over
// 64 KiB ends its conversation, and a peer that stalls (half a frame, or silence) is dropped
// after a few seconds, checked whenever `sweep` fires.
class IntakeServer final {
 public:
  static constexpr uint32_t kMaxFrame = 64 * 1024;
  static constexpr uint32_t kStallMs = 5000;

  IntakeServer(platform::IntakeHandler& handler, platform::EventLoop& loop, platform::Clock& clock,
               platform::Timer& sweep);
  ~IntakeServer();
  IntakeServer(const IntakeServer&) = delete;
  IntakeServer& operator=(const IntakeServer&) = delete;

  // Listens at `path`, replacing a socket file a crashed copy left there. Peers may connect
  // from now on; they are served once Serve() was called.
  bool Listen(const std::string& path);
  void Serve();
  // How many conversations are open.
  int Conversations() const { return static_cast<int>(connections_.size()); }

 private:
  struct Connection {
    UniqueFd fd;
    std::string received;
    uint32_t last_heard = 0;
    bool busy = false;
    platform::Subscription watch;
  };
  void Accept();
  void Read(int id);
  void Watch(int id);
  void Drop(int id);
  void Sweep();

  platform::IntakeHandler& handler_;
  platform::EventLoop& loop_;
  platform::Clock& clock_;
  platform::Timer& sweep_;
  std::string path_;
  UniqueFd listener_;
  platform::Subscription listening_;
  std::map<int, std::unique_ptr<Connection>> connections_;
  int next_id_ = 0;
};

// Sends commands to the intake at `path`, one frame each, every one after the previous was
// answered. Returns how many were answered 1, or nullopt when nobody listens there; gives up on
// a peer silent for `timeout_ms`.
std::optional<int> SendToIntake(const std::string& path, const std::vector<std::string>& commands,
                                int timeout_ms = 10'000);

// How a later copy's hand-off went: nobody listened (the first copy may still be starting),
// every command was answered, or the first copy went before it answered them all.
enum class HandOver { NobodyListens, Delivered, PeerGone };
struct HandOverResult {
  HandOver outcome = HandOver::NobodyListens;
  int answered = 0;  // the commands answered, from the first
};
// Sends the commands as SendToIntake does, but waits for each answer as long as `keep_waiting`
// says so, asked every tenth of a second: a box the receiving copy shows may stay open for any
// time, and no name handed over is lost meanwhile, unless the caller stops waiting.
HandOverResult HandOverToIntake(const std::string& path, const std::vector<std::string>& commands,
                                const std::function<bool()>& keep_waiting);

// The frame of one command.
std::string IntakeFrame(const std::string& command);

}  // namespace tolvane::posix
