#include "queue.h"

#include "platform/number_text.h"
#include "probe.h"

namespace tolvane::queue {

Queue::Queue(platform::FileSystem& files, const platform::Paths& paths)
    : files_(files), paths_(paths) {
  rows_.SetSortsByData(true);
  rows_.OnCompare = [](const platform::ListItem& a, const platform::ListItem& b) {
    const int32_t left = EntryOf(a)->Order;
    const int32_t right = EntryOf(b)->Order;
    return left < right ? -1 : left > right ? 1 : 0;
  };
  rows_.OnDeletion = [this](platform::ListItem& row) { Forget(row); };
}

int Queue::CountOf(const std::string& path) const {
  const auto found = path_counts_.find(path);
  return found == path_counts_.end() ? 0 : found->second;
}

int Queue::ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults,
                           TFileData*& entry) {
  const ProbeResult probe = ProbeFile(files_, path);
  if (!probe.opened)
    return kUnsupported;
  int result = probe.header ? 0 : kUnsupported;
  result += kQueuedOnce * CountOf(path);
  if (result != 0)
    return result;

  const AudioHeader& header = *probe.header;
  const int64_t bps =
      static_cast<int64_t>(header.channels) * header.bits_per_sample * header.sample_rate;
  platform::ListItem& row = rows_.Add();
  auto data = std::make_unique<TFileData>();
  TFileData& e = *data;
  e.Item = &row;
  e.FileName = path;
  e.Order = row.Index();
  e.DisplayName = paths_.DisplayName(path);
  e.FileSize = header.file_size;
  e.Channels = header.channels;
  e.SampleRate = header.sample_rate;
  e.BitsPerSample = header.bits_per_sample;
  e.Duration = static_cast<int32_t>(platform::RoundHalfEven(static_cast<double>(header.file_size) *
                                                            8.0 / static_cast<double>(bps)));
  e.RequiredSize = RequiredSizeFor(header.file_size, bps, defaults.Bitrate);
  e.Options() = defaults;
  ++path_counts_[path];
  row.SetCaption(e.DisplayName);
  row.SetSubItem(0, status::kQueued);
  row.SetImageIndex(0);
  row.SetStateIndex(-1);
  row.SetData(std::move(data));
  entry = &e;
  return 0;
}

platform::ListItem* Queue::FirstQueued() const {
  for (int i = 0; i < rows_.Count(); ++i) {
    if (rows_.Item(i).SubItem(0) == status::kQueued)
      return &rows_.Item(i);
  }
  return nullptr;
}

void Queue::RequeueAll() {
  for (int i = 0; i < rows_.Count(); ++i) {
    platform::ListItem& row = rows_.Item(i);
    row.SetSubItem(0, status::kQueued);
    row.SetImageIndex(0);
    if (TFileData* entry = EntryOf(row)) {
      entry->DoneBytes = 0;
      entry->Started = false;
    }
  }
}

void Queue::Forget(const platform::ListItem& row) {
  const TFileData* entry = EntryOf(row);
  if (entry == nullptr)
    return;
  const auto found = path_counts_.find(entry->FileName);
  if (found != path_counts_.end() && --found->second <= 0)
    path_counts_.erase(found);
}

}  // namespace tolvane::queue
