#pragma once

#include <filesystem>

#include "app/main_window.h"
#include "app/window_services.h"
#include "settings/job_list.h"
#include "support/audio_files.h"
#include "support/desktop_stand_ins.h"
#include "support/system_services.h"

namespace tolvane::app {

// The main window on real files and a real registry file, with scripted dialogs; the volume
// table is fixed so that a test decides where the mount points are.
struct BladeFixture {
  testing::TempFolder temp;
  testing::CountingEventLoop loop;
  ui::Application application{loop};
  testing::FixedWorkArea work_area{{0, 0, 1280, 1000}};
  testing::SystemServices system;
  posix::PosixVolumes volumes{{"/", temp / "disk2"}};
  TBlade blade{WindowServices(system, application, work_area, {.volumes = &volumes})};
  int brought_to_front = 0;
  platform::Subscription front =
      blade.Form.BringToFrontRequested.Connect([this] { ++brought_to_front; });

  BladeFixture() {
    std::filesystem::create_directories(temp / "disk2");
    application.SetTitle("Tolvane");
    blade.FormCreate();
  }

  // A 16-bit 44100 Hz stereo WAVE file of `total` bytes; returns its path.
  std::string Wave(const std::string& name, int64_t total = 10'584'044) {
    const std::string path = temp / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testing::WriteWave(path, {.data_bytes = total - 44});
    return path;
  }
  // The loop comes round: what the window deferred (the selection summary) is shown.
  void Settle() { loop.ProcessMessages(); }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (int i = 0; i < blade.Queue.Count(); ++i)
      captions.push_back(blade.Queue.Item(i).Caption());
    return captions;
  }
  // The entry that row `row` shows.
  queue::TFileData& Entry(int row) { return blade.QueueModel().At(row); }
  // What the saved queue holds, in its order, and the paths alone.
  std::vector<settings::JobRecordRead> SavedQueue() {
    std::vector<settings::JobRecordRead> records;
    settings::ReadJobList(
        system.files, system.config / "tolvane.dat",
        [&](const settings::JobRecordRead& record) { records.push_back(record); });
    return records;
  }
  std::vector<std::string> SavedPaths() {
    std::vector<std::string> paths;
    for (const settings::JobRecordRead& record : SavedQueue())
      paths.push_back(record.path);
    return paths;
  }
  // The row's entry comes to `state`, as a job would bring it there.
  void SetState(int row, queue::EntryState state) {
    blade.QueueModel().SetState(Entry(row), std::move(state));
  }
};

}  // namespace tolvane::app
