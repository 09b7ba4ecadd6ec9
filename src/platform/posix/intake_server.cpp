#include "intake_server.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace tolvane::posix {

namespace {

constexpr int kBacklog = 16;

std::optional<sockaddr_un> AddressOf(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path)
    return std::nullopt;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

uint32_t LittleEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string IntakeFrame(const std::string& command) {
  const auto length = static_cast<uint32_t>(command.size());
  std::string frame;
  for (int shift = 0; shift < 32; shift += 8)
    frame += static_cast<char>((length >> shift) & 0xFF);
  return frame + command;
}

IntakeServer::IntakeServer(platform::IntakeHandler& handler, platform::EventLoop& loop,
                           platform::Clock& clock, platform::Timer& sweep)
    : handler_(handler), loop_(loop), clock_(clock), sweep_(sweep) {
  sweep_.OnTimer = [this] { Sweep(); };
}

IntakeServer::~IntakeServer() {
  sweep_.OnTimer = nullptr;
  sweep_.SetEnabled(false);
  connections_.clear();
  listening_.Reset();
  if (listener_.Valid())
    ::unlink(path_.c_str());
}

bool IntakeServer::Listen(const std::string& path) {
  const std::optional<sockaddr_un> address = AddressOf(path);
  if (!address)
    return false;
  listener_.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener_.Valid())
    return false;
  // Only the copy that holds the instance lock listens: a socket file here is a crashed copy's.
  ::unlink(path.c_str());
  const mode_t old_mask = ::umask(0077);
  const bool bound =
      ::bind(listener_.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
  ::umask(old_mask);
  if (!bound || ::listen(listener_.Get(), kBacklog) != 0) {
    listener_.Reset();
    return false;
  }
  path_ = path;
  return true;
}

void IntakeServer::Serve() {
  if (!listener_.Valid())
    return;
  listening_ = loop_.WatchReadable(listener_.Get(), [this] { Accept(); });
  sweep_.SetEnabled(true);
}

void IntakeServer::Accept() {
  for (;;) {
    UniqueFd fd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.Valid())
      return;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::getuid()) {
      continue;  // another user's program is not heard
    }
    const int id = next_id_++;
    auto connection = std::make_unique<Connection>();
    connection->fd = std::move(fd);
    connection->last_heard = clock_.GetTickCount();
    connections_[id] = std::move(connection);
    Watch(id);
  }
}

void IntakeServer::Watch(int id) {
  Connection& c = *connections_.at(id);
  c.watch = loop_.WatchReadable(c.fd.Get(), [this, id] { Read(id); });
}

void IntakeServer::Drop(int id) {
  const auto found = connections_.find(id);
  if (found == connections_.end())
    return;
  connections_.erase(found);
  handler_.ConversationEnded();
}

void IntakeServer::Read(int id) {
  const auto found = connections_.find(id);
  if (found == connections_.end() || found->second->busy)
    return;
  Connection& c = *found->second;
  char buffer[4096];
  bool closed = false;
  for (;;) {
    const ssize_t n = ::recv(c.fd.Get(), buffer, sizeof buffer, 0);
    if (n > 0) {
      c.received.append(buffer, static_cast<size_t>(n));
      c.last_heard = clock_.GetTickCount();
      if (c.received.size() > kMaxFrame + 4)
        break;
      continue;
    }
    if (n < 0 && errno == EINTR)
      continue;
    closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    break;
  }
  while (c.received.size() >= 4) {
    const uint32_t length = LittleEndian32(c.received.data());
    if (length > kMaxFrame) {
      SendAll(c.fd.Get(), std::string(1, '\0'));
      Drop(id);
      return;
    }
    if (c.received.size() < 4 + static_cast<size_t>(length))
      break;
    const std::string command = c.received.substr(4, length);
    c.received.erase(0, 4 + static_cast<size_t>(length));
    // The command may open a message box and run the loop: this conversation waits meanwhile.
    c.busy = true;
    c.watch.Reset();
    const bool taken = handler_.Execute(command);
    const auto still = connections_.find(id);
    if (still == connections_.end())
      return;
    still->second->busy = false;
    if (!SendAll(c.fd.Get(), std::string(1, taken ? '\1' : '\0'))) {
      Drop(id);
      return;
    }
    c.last_heard = clock_.GetTickCount();
    Watch(id);
  }
  if (closed)
    Drop(id);
}

void IntakeServer::Sweep() {
  const uint32_t now = clock_.GetTickCount();
  std::vector<int> stalled;
  for (const auto& [id, c] : connections_) {
    if (!c->busy && now - c->last_heard >= kStallMs)
      stalled.push_back(id);
  }
  for (int id : stalled)
    Drop(id);
}

namespace {

struct Conversation {
  bool connected = false;
  int replies = 0;   // frames answered at all
  int accepted = 0;  // frames answered 1
};

// One conversation: every command a frame, each sent after the previous one was answered. An
// answer that takes longer than `slice_ms` is waited for as long as `wait_on` says so.
Conversation Converse(const std::string& path, const std::vector<std::string>& commands,
                      int slice_ms, const std::function<bool()>& wait_on) {
  Conversation result;
  const std::optional<sockaddr_un> address = AddressOf(path);
  if (!address)
    return result;
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.Valid())
    return result;
  timeval limit{slice_ms / 1000, (slice_ms % 1000) * 1000};
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0)
    return result;
  result.connected = true;
  for (const std::string& command : commands) {
    if (!SendAll(fd.Get(), IntakeFrame(command)))
      break;
    char answer = 0;
    ssize_t n = 0;
    for (;;) {
      n = ::recv(fd.Get(), &answer, 1, 0);
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && wait_on && wait_on())
        continue;
      break;
    }
    if (n != 1)
      break;
    ++result.replies;
    result.accepted += answer == 1 ? 1 : 0;
  }
  return result;
}

}  // namespace

std::optional<int> SendToIntake(const std::string& path, const std::vector<std::string>& commands,
                                int timeout_ms) {
  const Conversation conversation = Converse(path, commands, timeout_ms, {});
  if (!conversation.connected)
    return std::nullopt;
  return conversation.accepted;
}

HandOverResult HandOverToIntake(const std::string& path, const std::vector<std::string>& commands,
                                const std::function<bool()>& keep_waiting) {
  constexpr int kSliceMs = 100;
  const Conversation conversation = Converse(path, commands, kSliceMs, keep_waiting);
  if (!conversation.connected)
    return {HandOver::NobodyListens, 0};
  const bool all = conversation.replies == static_cast<int>(commands.size());
  return {all ? HandOver::Delivered : HandOver::PeerGone, conversation.replies};
}

}  // namespace tolvane::posix
