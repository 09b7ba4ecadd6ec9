#pragma once

#include "blade_fixture.h"
#include "support/fake_encoder_control.h"

namespace tolvane::app {

// The main window with the scripted fake encoder and the manual clock.
struct EncodingWindow : BladeFixture {
  testing::FakeEncoderControl fake{temp};

  EncodingWindow() {
    blade.BladePath.SetText(testing::FakeEncoderControl::kProgram);
    blade.BEVersion.SetCaption("v 1.00");
    // A close waits for the end of the stopped job: the loop gives it.
    loop.on_wait = [this](unsigned ms) {
      system.clock.Advance(ms);
      WaitUntilEnded();
      blade.Engine().ProgressTimer().Fire();
    };
  }
  ~EncodingWindow() { testing::EndAndReap(blade.Engine().RunningChild()); }

  void Script(const std::string& text) { fake.Script(text); }
  void Go(const std::string& name) { fake.Go(name); }

  // One second passes and the timer fires.
  void Tick(uint32_t ms = 1000) {
    system.clock.Advance(ms);
    blade.Engine().ProgressTimer().Fire();
  }
  // Waits, in real time, until the running encoder has ended (without handling its end).
  void WaitUntilEnded() { testing::WaitUntilEnded(blade.Engine().RunningChild()); }
  void WaitForSize(const std::string& path, int64_t size) { testing::WaitForSize(path, size); }
  std::string Status(int row) const { return blade.Queue.Item(row).SubItem(0); }
  std::vector<std::string> FakeArguments() const { return fake.Arguments(); }
};

}  // namespace tolvane::app
