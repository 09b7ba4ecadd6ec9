#include "queue.h"

#include "platform/number_text.h"
#include "probe.h"

namespace tolvane::queue {

Queue::Queue(platform::FileSystem& files, const platform::Paths& paths, SourceKinds kinds)
    : files_(files), paths_(paths), kinds_(std::move(kinds)) {
  rows_.SetSortsByData(true);
  rows_.OnCompare = [](const platform::ListItem& a, const platform::ListItem& b) {
    const int32_t left = EntryOf(a)->Order;
    const int32_t right = EntryOf(b)->Order;
    return left < right ? -1 : left > right ? 1 : 0;
  };
  rows_.OnDeletion = [this](platform::ListItem& row) { Forget(row); };
  // A sort, a paste or a move renumbers rows as a whole.
  reorders_ = rows_.RowsChanged.Connect([this](const platform::RowsChange& change) {
    if (change.kind == platform::RowsChange::Kind::Reset)
      Changed.Emit({EntryChange::Kind::Moved});
  });
}

int Queue::CountOf(const std::string& path) const {
  const auto found = path_counts_.find(path);
  return found == path_counts_.end() ? 0 : found->second;
}

int Queue::ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults,
                           TFileData*& entry, std::string* why) {
  const ProbeResult probe = kinds_.probe(files_, path);
  if (why != nullptr)
    *why = probe.header ? std::string() : probe.why;
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
  ShowState(e);
  row.SetData(std::move(data));
  entry = &e;
  Changed.Emit({EntryChange::Kind::Added, &e});
  return 0;
}

TFileData* Queue::FirstQueued() const {
  for (int i = 0; i < rows_.Count(); ++i) {
    TFileData* entry = EntryOf(rows_.Item(i));
    if (entry != nullptr && entry->State.Waiting())
      return entry;
  }
  return nullptr;
}

void Queue::RequeueAll() {
  for (int i = 0; i < rows_.Count(); ++i) {
    if (TFileData* entry = EntryOf(rows_.Item(i))) {
      entry->DoneBytes = 0;
      entry->Started = false;
      SetState(*entry, EntryState::Queued());
    }
  }
}

void Queue::SetState(TFileData& entry, EntryState state) {
  if (state == entry.State)
    return;
  const bool progress_only = state.phase == Phase::Encoding && entry.State.phase == Phase::Encoding;
  entry.State = std::move(state);
  ShowState(entry);
  Changed.Emit({progress_only ? EntryChange::Kind::Progress : EntryChange::Kind::State, &entry});
}

void Queue::OptionsChanged(const TFileData& entry) {
  Changed.Emit({EntryChange::Kind::Options, &entry});
}

void Queue::TagChanged(const TFileData& entry) {
  ShowState(entry);
  Changed.Emit({EntryChange::Kind::Tag, &entry});
}

void Queue::ShowState(const TFileData& entry) {
  if (entry.Item == nullptr)
    return;
  platform::ListItem& row = *entry.Item;
  row.SetSubItem(0, StatusText(entry.State));
  row.SetImageIndex(StatusImage(entry.State));
  row.SetHint(StatusHint(entry.State));
  row.SetStateIndex(entry.HasTag ? kTagImage : -1);
}

void Queue::Forget(const platform::ListItem& row) {
  const TFileData* entry = EntryOf(row);
  if (entry == nullptr)
    return;
  Changed.Emit({EntryChange::Kind::Removed, entry});
  const auto found = path_counts_.find(entry->FileName);
  if (found != path_counts_.end() && --found->second <= 0)
    path_counts_.erase(found);
}

}  // namespace tolvane::queue
