#pragma once

#include <cstdint>
#include <string>

#include "platform/volumes.h"
#include "queue/queue.h"

namespace tolvane::encoding {

// The batch sums and the space the queued MP3 files need on the watched volume.
struct Totals {
  int count = 0;
  long double batch_total = 0;
  long double batch_done = 0;
  int64_t required = 0;
};

// The queue's sums. An entry counts for `watched_volume` when its MP3 goes there: into
// `output_folder` when one is set, else beside its source.
Totals ComputeTotals(const queue::Queue& queue, const std::string& output_folder,
                     const std::string& watched_volume, platform::Volumes& volumes);

struct FreeSpace {
  double bytes = 0;
  std::string text;  // "4321mb", or "Unknown" with 0 bytes when it cannot be read
};
// The free space of the volume that holds `path`.
FreeSpace DriveFreeSpace(platform::Volumes& volumes, const std::string& path);

}  // namespace tolvane::encoding
