#include "platform/posix/posix_processes.h"

#include <signal.h>

#include <gtest/gtest.h>
#include <filesystem>

#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane::posix {
namespace {

using namespace std::chrono_literals;
using testing::kHangLimit;

std::optional<int> WaitForExit(platform::ChildProcess& child) {
  std::optional<int> code;
  testing::Eventually(
      [&] {
        code = child.ExitCode();
        return code && *code != platform::kStillActive;
      },
      kHangLimit);
  return code;
}

std::unique_ptr<platform::ChildProcess> Shell(const std::string& script) {
  PosixProcesses processes;
  return processes.Start("\"/bin/sh\" -c " + platform::QuoteArgument(script), false);
}

TEST(Processes, ExitCodesReadAsTheProgramExpects) {
  const std::pair<const char*, int> cases[] = {
      {"exit 0", 0},
      {"exit 255", platform::kExitFailure},
      {"exit 3", 3},
      {"kill -9 $$", platform::kExitFailure},  // killed by a signal the program did not send
  };
  for (const auto& [script, expected] : cases) {
    auto child = Shell(script);
    ASSERT_NE(child, nullptr) << script;
    EXPECT_EQ(WaitForExit(*child), expected) << script;
    EXPECT_EQ(child->ExitCode(), expected) << script << ": read again";
  }
}

TEST(Processes, TerminateReachesTheWholeGroupAndReadsAsTheGivenCode) {
  testing::TempFolder temp;
  auto child = Shell("sleep 1000 & echo $! > '" + (temp / "pid") + "'; wait");
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(
      testing::Eventually([&] { return testing::ReadText(temp / "pid").size() > 1; }, kHangLimit));
  EXPECT_EQ(child->ExitCode(), platform::kStillActive);
  const pid_t grandchild = std::stoi(testing::ReadText(temp / "pid"));
  ASSERT_TRUE(child->Terminate(platform::kExitTerminated));
  EXPECT_EQ(WaitForExit(*child), platform::kExitTerminated);
  EXPECT_TRUE(testing::Eventually([&] { return ::kill(grandchild, 0) != 0; }, kHangLimit))
      << "the encoder's own children go too";
}

TEST(Processes, SuspendAndResumeStopAndContinueTheWork) {
  testing::TempFolder temp;
  const std::string counter = temp / "count";
  auto child = Shell("while :; do echo x >> '" + counter + "'; sleep 0.01; done");
  ASSERT_NE(child, nullptr);
  auto size = [&] { return testing::ReadText(counter).size(); };
  ASSERT_TRUE(testing::Eventually([&] { return size() > 4; }, kHangLimit));
  ASSERT_TRUE(child->Suspend());
  struct timespec settle {
    0, 100'000'000
  };
  nanosleep(&settle, nullptr);
  const size_t frozen = size();
  nanosleep(&settle, nullptr);
  nanosleep(&settle, nullptr);
  EXPECT_EQ(size(), frozen) << "nothing happens while suspended";
  ASSERT_TRUE(child->Resume());
  EXPECT_TRUE(testing::Eventually([&] { return size() > frozen; }, kHangLimit));
  EXPECT_TRUE(child->Terminate(platform::kExitTerminated));
  EXPECT_EQ(WaitForExit(*child), platform::kExitTerminated);
}

TEST(Processes, AProgramThatCannotStartGivesNoChild) {
  PosixProcesses processes;
  EXPECT_EQ(processes.Start("\"/no/such/program\" -QUIT", false), nullptr);
  EXPECT_EQ(processes.Start("", false), nullptr);
}

}  // namespace
}  // namespace tolvane::posix
