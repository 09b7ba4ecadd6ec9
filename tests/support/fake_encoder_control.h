#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane::testing {

// The scripted stand-in for the encoder, as a test drives it: what it does on its next launches,
// the files it waits for, and the arguments its last launch was given. Test programs only (the
// build folder is theirs).
class FakeEncoderControl final {
 public:
  static constexpr const char* kProgram = TOLVANE_BUILD_DIR "/tests/fake_bladeenc";

  explicit FakeEncoderControl(const TempFolder& temp) : temp_(temp) {
    ::unsetenv("TOLVANE_FAKE_SCRIPT");
    ::setenv("TOLVANE_FAKE_ARGS", (temp_ / "fake-args.txt").c_str(), 1);
  }

  // The script for the next launches; "@" stands for the test's folder.
  void Script(std::string text) const {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1))
      text.replace(at, 1, temp_.Path());
    WriteText(temp_ / "script.txt", text);
    ::setenv("TOLVANE_FAKE_SCRIPT", (temp_ / "script.txt").c_str(), 1);
  }
  // Lets a "wait @/name" of the script go on.
  void Go(const std::string& name) const { WriteText(temp_ / name, ""); }

  std::vector<std::string> Arguments() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(temp_ / "fake-args.txt"));
    for (std::string line; std::getline(text, line);)
      lines.push_back(line);
    return lines;
  }

 private:
  const TempFolder& temp_;
};

// Waits, in real time, until `child` has ended (which reaps it); its code is kept for later. A
// child that does not end in time fails the test.
inline void WaitUntilEnded(platform::ChildProcess* child) {
  if (child == nullptr)
    return;
  const bool ended = Eventually(
      [&] {
        const std::optional<int> code = child->ExitCode();
        return code && *code != platform::kStillActive;
      },
      kHangLimit);
  EXPECT_TRUE(ended) << "the encoder did not end in time";
}

// Ends a child that still runs and reaps it: no encoder outlives a test.
inline void EndAndReap(platform::ChildProcess* child) {
  if (child != nullptr && child->ExitCode() == platform::kStillActive)
    (void)child->Terminate(platform::kExitTerminated);  // the wait says whether it ended
  WaitUntilEnded(child);
}

inline int64_t SizeOf(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<int64_t>(size);
}

inline void WaitForSize(const std::string& path, int64_t size) {
  EXPECT_TRUE(Eventually([&] { return SizeOf(path) == size; }, kHangLimit))
      << path << " did not reach " << size << " bytes in time";
}

}  // namespace tolvane::testing
