// Scans and queues a folder of 10,000 small WAVE files, then times one UpdateTotals over the
// 10,000 rows (the median of 101 runs), selecting all rows with the summary that follows, and
// one write of the job list that "Job save" keeps current while the program runs (the median of
// 11). Targets on the development machine: under 0.15 s for the scan, under 5 ms for UpdateTotals,
// under 50 ms for the select-all, under 200 ms for the job list. Exits 1 when a target is missed.
//
//   build/bench_intake
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "support/audio_files.h"
#include "support/desktop_stand_ins.h"
#include "support/system_services.h"

int main() {
  using namespace tolvane;
  using Clock = std::chrono::steady_clock;
  constexpr int kFiles = 10'000;
  testing::TempFolder temp;
  for (int i = 0; i < kFiles; ++i) {
    testing::WriteWave(temp / ("take" + std::to_string(i) + ".wav"), {.data_bytes = 4410});
  }

  testing::CountingEventLoop loop;
  ui::Application application(loop);
  testing::FixedWorkArea work_area({0, 0, 1280, 1000});
  testing::SystemServices system;
  app::TBlade blade({application, system.dialogs, work_area, system.files, system.paths,
                     system.volumes, system.registry, system.clock, system.processes, system.power,
                     system.environment, "", system.classes, system.desktop_files,
                     "/usr/bin/tolvane", system.config / "tolvane.dat"});
  blade.FormCreate();

  const auto scan_start = Clock::now();
  blade.AddPath(temp.Path());
  const double scan = std::chrono::duration<double>(Clock::now() - scan_start).count();
  if (blade.Queue.Count() != kFiles) {
    std::fprintf(stderr, "queued %d of %d files\n", blade.Queue.Count(), kFiles);
    return 2;
  }

  std::vector<double> runs;
  for (int i = 0; i < 101; ++i) {
    const auto start = Clock::now();
    blade.UpdateTotals();
    runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::nth_element(runs.begin(), runs.begin() + 50, runs.end());
  const double totals = runs[50];

  // Select all, as Ctrl+A does: every row's selection changes, and the summary follows once.
  const auto select_start = Clock::now();
  for (int i = 0; i < blade.Queue.Count(); ++i)
    blade.Queue.Item(i).SetSelected(true);
  loop.ProcessMessages();
  const double select_all =
      std::chrono::duration<double, std::milli>(Clock::now() - select_start).count();
  if (blade.WaveBar.Panel(2).Text() != std::to_string(kFiles)) {
    std::fprintf(stderr, "the summary shows %s rows\n", blade.WaveBar.Panel(2).Text().c_str());
    return 2;
  }

  // The job list as the running program writes it: every row unfinished, synced and renamed.
  blade.SaveListButton.SetDown(true);
  std::vector<double> writes;
  for (int i = 0; i < 11; ++i) {
    const auto start = Clock::now();
    blade.JobListTimer.SetEnabled(true);
    blade.JobListTimer.Fire();
    writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::nth_element(writes.begin(), writes.begin() + 5, writes.end());
  const double job_list = writes[5];

  std::printf("scan and queue of %d files: %.3f s (target under 0.15 s)\n", kFiles, scan);
  std::printf("UpdateTotals over %d rows: %.3f ms (target under 5 ms)\n", kFiles, totals);
  std::printf("select all %d rows, with the summary: %.3f ms (target under 50 ms)\n", kFiles,
              select_all);
  std::printf("job list of %d unfinished entries written: %.3f ms (target under 200 ms)\n", kFiles,
              job_list);
  return scan < 0.15 && totals < 5.0 && select_all < 50.0 && job_list < 200.0 ? 0 : 1;
}
