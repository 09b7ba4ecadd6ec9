#include "shell/intake.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/intake_server.h"
#include "platform/posix/unique_fd.h"
#include "support/audio_files.h"
#include "support/desktop_stand_ins.h"

namespace tolvane::shell {
namespace {

using namespace std::chrono_literals;

// The running copy's intake on a real socket, with what it was asked to do recorded.
struct IntakeFixture {
  testing::TempFolder temp;
  std::string socket_path = temp / "tolvane.bladefiles";
  testing::CountingEventLoop loop;
  testing::ManualClock clock;
  platform::Timer sweep{"IntakeSweep", 1000};
  std::vector<std::string> added;
  int conversations_ended = 0;
  int restored = 0;
  Intake intake{{[this](const std::string& path) { added.push_back(path); },
                 [this] { ++conversations_ended; }, [this] { ++restored; }}};
  posix::IntakeServer server{intake, loop, clock, sweep};

  // With `crashed` a socket file that a crashed copy left is there first.
  explicit IntakeFixture(bool crashed = false) {
    if (crashed) {
      const posix::UniqueFd stale(::socket(AF_UNIX, SOCK_STREAM, 0));
      const sockaddr_un address = Address();
      EXPECT_EQ(::bind(stale.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address),
                0);
    }
    EXPECT_TRUE(server.Listen(socket_path));
    server.Serve();
  }
  sockaddr_un Address() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socket_path.c_str());
    return address;
  }
  posix::UniqueFd Connect() {
    posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_un address = Address();
    EXPECT_EQ(::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return fd;
  }
  // Runs the loop until the peer has an answer byte, or its end, or nothing comes for a while:
  // the byte, -1 for the end, -2 for nothing.
  int Answer(const posix::UniqueFd& peer) {
    for (int round = 0; round < 50; ++round) {
      pollfd ready{peer.Get(), POLLIN, 0};
      if (::poll(&ready, 1, 0) == 1) {
        char byte = 0;
        return ::recv(peer.Get(), &byte, 1, 0) == 1 ? byte : -1;
      }
      loop.Pump(20ms);
    }
    return -2;
  }
};

bool Send(const posix::UniqueFd& peer, const std::string& bytes) {
  return ::send(peer.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
         static_cast<ssize_t>(bytes.size());
}

TEST(Intake, CommandsAndTheirAnswers) {
  struct Case {
    const char* name;
    std::string frame;
    int answer;
    std::vector<std::string> added;
  };
  const std::string big(posix::IntakeServer::kMaxFrame + 1, 'x');
  const Case cases[] = {
      {"a path", posix::IntakeFrame("[\"/music/a folder\"]"), 1, {"/music/a folder"}},
      {"a relative path is the receiver's to resolve",
       posix::IntakeFrame("[\"b.wav\"]"),
       1,
       {"b.wav"}},
      {"an empty path adds nothing", posix::IntakeFrame("[\"\"]"), 1, {}},
      {"no brackets", posix::IntakeFrame("/music/a.wav"), 0, {}},
      {"a second line", posix::IntakeFrame("[\"/a.wav\"]\r\n[\"/b.wav\"]"), 0, {}},
      {"too short to be framed", posix::IntakeFrame("[\"]"), 0, {}},
      {"over 64 KiB", posix::IntakeFrame(big), 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IntakeFixture f;
    const posix::UniqueFd peer = f.Connect();
    ASSERT_TRUE(Send(peer, c.frame));
    EXPECT_EQ(f.Answer(peer), c.answer);
    EXPECT_EQ(f.added, c.added);
  }

  IntakeFixture f;
  const posix::UniqueFd peer = f.Connect();
  ASSERT_TRUE(Send(peer, posix::IntakeFrame("restore") + posix::IntakeFrame("[\"/a.wav\"]") +
                             posix::IntakeFrame("[\"/b.wav\"]")));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(f.Answer(peer), 1) << i;
  EXPECT_EQ(f.restored, 1);
  EXPECT_EQ(f.added, (std::vector<std::string>{"/a.wav", "/b.wav"})) << "in order";
  EXPECT_EQ(f.conversations_ended, 0);
  ::shutdown(peer.Get(), SHUT_WR);
  EXPECT_EQ(f.Answer(peer), -1);
  EXPECT_EQ(f.conversations_ended, 1) << "the totals follow the end of a conversation";
}

// A peer that sends half a frame and stalls, or says nothing, is dropped after five seconds;
// the window never waits for it.
TEST(Intake, AStalledPeerIsDropped) {
  IntakeFixture f;
  const posix::UniqueFd half = f.Connect();
  ASSERT_TRUE(Send(half, std::string("\x10\x00", 2)));
  const posix::UniqueFd silent = f.Connect();
  EXPECT_EQ(f.Answer(half), -2);
  EXPECT_EQ(f.server.Conversations(), 2);
  f.clock.Advance(4000);
  f.sweep.Fire();
  EXPECT_EQ(f.server.Conversations(), 2) << "not yet";
  f.clock.Advance(1000);
  f.sweep.Fire();
  EXPECT_EQ(f.server.Conversations(), 0);
  EXPECT_EQ(f.Answer(half), -1);
  EXPECT_EQ(f.Answer(silent), -1);

  const posix::UniqueFd next = f.Connect();
  ASSERT_TRUE(Send(next, posix::IntakeFrame("[\"/c.wav\"]")));
  EXPECT_EQ(f.Answer(next), 1) << "the intake still serves";
}

// Another user's program is not heard, even where the socket's mode would let it in; a socket
// file left by a crashed copy is replaced.
TEST(Intake, OnlyTheUsersOwnProgramsAreHeard) {
  IntakeFixture crashed(true);
  const posix::UniqueFd peer = crashed.Connect();
  ASSERT_TRUE(Send(peer, posix::IntakeFrame("restore")));
  EXPECT_EQ(crashed.Answer(peer), 1);

  IntakeFixture f;
  if (::geteuid() != 0)
    GTEST_SKIP() << "needs root to act as another user";
  ::chmod(f.temp.Path().c_str(), 0755);
  ::chmod(f.socket_path.c_str(), 0777);
  const pid_t child = ::fork();
  if (child == 0) {
    // The other user sends a command and reports what came back: 2 for nothing.
    if (::setuid(65534) != 0)
      ::_exit(9);
    posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
    const sockaddr_un address = f.Address();
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
      ::_exit(8);
    const std::string frame = posix::IntakeFrame("[\"/etc/passwd\"]");
    ::send(fd.Get(), frame.data(), frame.size(), MSG_NOSIGNAL);
    char byte = 0;
    ::_exit(::recv(fd.Get(), &byte, 1, 0) == 1 ? byte : 2);
  }
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0)
    f.loop.Pump(20ms);
  // A container may forbid changing the user, or keep "nobody" out of the temporary folder.
  if (WEXITSTATUS(status) == 9 || WEXITSTATUS(status) == 8)
    GTEST_SKIP() << "no other user could be made to connect here";
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(f.added.empty());
  EXPECT_EQ(f.server.Conversations(), 0);
}

}  // namespace
}  // namespace tolvane::shell
