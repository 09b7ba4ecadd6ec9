#pragma once

#include <cstdlib>
#include <sstream>

#include "blade_fixture.h"
#include "support/child_process.h"

namespace tolvane::app {

// The main window with the scripted fake encoder and the manual clock.
struct EngineFixture : BladeFixture {
  static constexpr const char* kFakeEncoder = TOLVANE_BUILD_DIR "/tests/fake_bladeenc";

  EngineFixture() {
    blade.BladePath.SetText(kFakeEncoder);
    blade.BEVersion.SetCaption("v 1.00");
    ::unsetenv("TOLVANE_FAKE_SCRIPT");
    ::setenv("TOLVANE_FAKE_ARGS", (temp / "fake-args.txt").c_str(), 1);
    // A close waits for the tick that ends the job: the loop gives it.
    loop.on_wait = [this](unsigned ms) {
      system.clock.Advance(ms);
      WaitUntilEnded();
      blade.Engine().Timer.Fire();
    };
  }

  // The fake encoder's script for the next launches; "@" stands for the test's folder.
  void Script(std::string text) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
      text.replace(at, 1, temp.Path());
    }
    testing::WriteText(temp / "script.txt", text);
    ::setenv("TOLVANE_FAKE_SCRIPT", (temp / "script.txt").c_str(), 1);
  }
  void Go(const std::string& name) { testing::WriteText(temp / name, ""); }

  // One second passes and the timer fires.
  void Tick(uint32_t ms = 1000) {
    system.clock.Advance(ms);
    blade.Engine().Timer.Fire();
  }
  // Waits, in real time, until the running encoder has ended (without reading its code).
  void WaitUntilEnded() {
    if (blade.Engine().NowEncoding.ProcessInfo == nullptr)
      return;
    testing::Eventually(
        [&] {
          const std::optional<int> code = blade.Engine().NowEncoding.ProcessInfo->ExitCode();
          return code && *code != platform::kStillActive;
        },
        std::chrono::seconds(20));
  }
  static int64_t SizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<int64_t>(size);
  }
  void WaitForSize(const std::string& path, int64_t size) {
    testing::Eventually([&] { return SizeOf(path) == size; }, std::chrono::seconds(20));
  }
  std::string Status(int row) const { return blade.Queue.Item(row).SubItem(0); }
  std::vector<std::string> FakeArguments() const {
    std::vector<std::string> lines;
    std::istringstream text(testing::ReadText(temp / "fake-args.txt"));
    for (std::string line; std::getline(text, line);)
      lines.push_back(line);
    return lines;
  }
};

}  // namespace tolvane::app
