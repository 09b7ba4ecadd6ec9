#include "totals.h"

#include <cmath>

#include "platform/number_text.h"

namespace tolvane::encoding {

Totals ComputeTotals(const queue::Queue& queue, const std::string& output_folder,
                     const std::string& watched_volume, platform::Volumes& volumes) {
  Totals totals;
  totals.count = queue.Count();
  // With a target folder every entry goes to the same place, so it counts for all or none.
  const bool all_count =
      !output_folder.empty() && volumes.VolumeOf(output_folder) == watched_volume;
  for (int i = 0; i < queue.Count(); ++i) {
    const queue::TFileData* entry = &queue.At(i);
    totals.batch_total += entry->FileSize;
    totals.batch_done += entry->DoneBytes;
    const bool counts =
        output_folder.empty() ? volumes.VolumeOf(entry->FileName) == watched_volume : all_count;
    if (counts)
      totals.required += entry->RequiredSize;
  }
  return totals;
}

FreeSpace DriveFreeSpace(platform::Volumes& volumes, const std::string& path) {
  const std::string volume = volumes.VolumeOf(path);
  const std::optional<int64_t> free = volume.empty() ? std::nullopt : volumes.FreeSpace(volume);
  if (!free)
    return {0, "Unknown"};
  return {static_cast<double>(*free), platform::MegabytesText(static_cast<long double>(*free))};
}

}  // namespace tolvane::encoding
