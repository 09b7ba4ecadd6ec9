#pragma once

#include <filesystem>

#include "encoding/batch_engine.h"
#include "engine_stand_ins.h"
#include "support/fake_encoder_control.h"
#include "support/faulty_file_system.h"
#include "support/system_services.h"

namespace tolvane::encoding {

// The batch engine over a queue that no window shows, with the scripted fake encoder, the
// manual clock, a recording display and scripted prompts.
struct EngineFixture {
  testing::TempFolder temp;
  testing::SystemServices system;
  testing::CountingEventLoop loop;
  testing::FakeEncoderControl fake{temp};
  // The real file system; a test may make writes or moves fail.
  testing::FaultyFileSystem files;
  queue::Queue queue{files, system.paths};
  RecordingDisplay display;
  ScriptedPrompts prompts;
  TestHost host;
  BatchEngine engine{{queue, display, prompts, host, files, system.paths, system.volumes,
                      system.clock, system.processes, system.power, loop}};

  EngineFixture() {
    host.encoder = testing::FakeEncoderControl::kProgram;
    host.options.version_label = "v 1.00";
    host.options.watched_volume = "/";
    // A close waits for the stopped job's end: the loop delivers it.
    loop.on_wait = [this](unsigned ms) {
      system.clock.Advance(ms);
      loop.Pump(testing::kHangLimit);
    };
  }
  ~EngineFixture() { testing::EndAndReap(engine.RunningChild()); }

  // Queues a 16-bit 44100 Hz stereo WAVE file of `total` bytes (60 s of sound by default).
  queue::TFileData& Add(const std::string& name, int64_t total = 10'584'044) {
    const std::string path = temp / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testing::WriteWave(path, {.data_bytes = total - 44});
    return *queue.ProbeAndEnqueue(path, {}).entry;
  }
  // What the entry's row shows as its status.
  std::string Status(int index) const { return queue::StatusText(queue.At(index).State); }
  queue::TFileData& Entry(int index) { return queue.At(index); }

  // Time passes and the progress timer fires.
  void Tick(uint32_t ms = 1000) {
    system.clock.Advance(ms);
    engine.ProgressTimer().Fire();
  }
  // The running job's end arrives through the loop, as it does in the program; false when it
  // did not come in time.
  bool DeliverEnd() { return loop.Pump(testing::kHangLimit); }
};

}  // namespace tolvane::encoding
