#include "queue.h"

#include <algorithm>
#include <stdexcept>

#include "platform/number_text.h"
#include "probe.h"

namespace tolvane::queue {

Queue::Queue(platform::FileSystem& files, const platform::Paths& paths, SourceKinds kinds)
    : files_(files), paths_(paths), kinds_(std::move(kinds)) {}

int Queue::IndexOf(const TFileData& entry) const {
  const auto found = positions_.find(entry.Id);
  return found == positions_.end() || entries_[static_cast<size_t>(found->second)].get() != &entry
             ? -1
             : found->second;
}

TFileData* Queue::Find(EntryId id) const {
  const auto found = positions_.find(id);
  return found == positions_.end() ? nullptr : entries_[static_cast<size_t>(found->second)].get();
}

int Queue::CountOf(const std::string& path) const {
  const auto found = path_counts_.find(path);
  return found == path_counts_.end() ? 0 : found->second;
}

EnqueueResult Queue::ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults) {
  const ProbeResult probe = kinds_.probe(files_, path);
  if (!probe.opened || !probe.header)
    return {Enqueued::Unsupported, nullptr, probe.opened ? probe.why : std::string()};
  if (CountOf(path) > 0)
    return {Enqueued::AlreadyQueued, nullptr, {}};

  const AudioHeader& header = *probe.header;
  const int64_t bps =
      static_cast<int64_t>(header.channels) * header.bits_per_sample * header.sample_rate;
  auto entry = std::make_unique<TFileData>();
  TFileData& e = *entry;
  e.Id = next_id_++;
  e.FileName = path;
  e.DisplayName = paths_.DisplayName(path);
  e.FileSize = header.file_size;
  e.Channels = header.channels;
  e.SampleRate = header.sample_rate;
  e.BitsPerSample = header.bits_per_sample;
  e.Duration = static_cast<int32_t>(platform::RoundHalfEven(static_cast<double>(header.file_size) *
                                                            8.0 / static_cast<double>(bps)));
  e.RequiredSize = RequiredSizeFor(header.file_size, bps, defaults.Bitrate);
  e.Options() = defaults;
  if (kinds_.tag) {
    if (std::optional<TagFields> tag = kinds_.tag(files_, path))
      e.Tag() = std::move(*tag);
  }
  ++path_counts_[path];
  entries_.push_back(std::move(entry));
  positions_[e.Id] = Count() - 1;
  Changed.Emit({EntryChange::Kind::Added, &e, Count() - 1});
  return {Enqueued::Added, &e, {}};
}

TFileData* Queue::FirstQueued() const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [](const auto& entry) { return entry->State.Waiting(); });
  return found == entries_.end() ? nullptr : found->get();
}

std::vector<const TFileData*> Queue::Unfinished() const {
  std::vector<const TFileData*> unfinished;
  for (const auto& entry : entries_) {
    if (!entry->State.Finished())
      unfinished.push_back(entry.get());
  }
  return unfinished;
}

bool Queue::Remove(const TFileData& entry) {
  const int index = IndexOf(entry);
  // An entry at work stays: its encoder is still writing.
  if (index < 0 || !entry.State.Idle())
    return false;
  Changed.Emit({EntryChange::Kind::Removed, &entry, index});
  const auto found = path_counts_.find(entry.FileName);
  if (found != path_counts_.end() && --found->second <= 0)
    path_counts_.erase(found);
  positions_.erase(entry.Id);
  entries_.erase(entries_.begin() + index);
  Renumber(index);
  return true;
}

void Queue::Sort(const std::function<int(const TFileData&, const TFileData&)>& compare) {
  std::vector<const TFileData*> order;
  order.reserve(entries_.size());
  for (const auto& entry : entries_)
    order.push_back(entry.get());
  std::stable_sort(order.begin(), order.end(),
                   [&](const TFileData* a, const TFileData* b) { return compare(*a, *b) < 0; });
  Rearrange(order);
}

void Queue::Rearrange(const std::vector<const TFileData*>& order) {
  std::vector<int> from;
  std::vector<bool> taken(entries_.size(), false);
  for (const TFileData* entry : order) {
    const int index = entry == nullptr ? -1 : IndexOf(*entry);
    if (index < 0 || taken[static_cast<size_t>(index)])
      throw std::invalid_argument("a new order must hold every entry once");
    taken[static_cast<size_t>(index)] = true;
    from.push_back(index);
  }
  if (from.size() != entries_.size())
    throw std::invalid_argument("a new order must hold every entry once");
  std::vector<std::unique_ptr<TFileData>> arranged;
  arranged.reserve(entries_.size());
  for (const int index : from)
    arranged.push_back(std::move(entries_[static_cast<size_t>(index)]));
  entries_ = std::move(arranged);
  Renumber(0);
  Changed.Emit({EntryChange::Kind::Moved});
}

bool Queue::SetCut(TFileData& entry, bool cut) {
  if (!entry.State.Idle())
    return false;
  if (entry.Cut != cut) {
    entry.Cut = cut;
    Changed.Emit({EntryChange::Kind::Cut, &entry, IndexOf(entry)});
  }
  return true;
}

void Queue::ClearCut() {
  for (const auto& entry : entries_)
    (void)SetCut(*entry, false);  // an entry at work is never in the group
}

void Queue::Paste(int below) {
  if (below < 0 || below >= Count())
    return;
  // Those above the target and the target itself, then the group, then the rest.
  std::vector<const TFileData*> order;
  std::vector<const TFileData*> group;
  std::vector<const TFileData*> rest;
  for (int i = 0; i < Count(); ++i) {
    const TFileData* entry = entries_[static_cast<size_t>(i)].get();
    (entry->Cut ? group : i <= below ? order : rest).push_back(entry);
  }
  order.insert(order.end(), group.begin(), group.end());
  order.insert(order.end(), rest.begin(), rest.end());
  for (const auto& entry : entries_)
    entry->Cut = false;
  Rearrange(order);
}

void Queue::RequeueAll() {
  for (const auto& entry : entries_) {
    entry->DoneBytes = 0;
    entry->Started = false;
    SetState(*entry, EntryState::Queued());
  }
}

void Queue::SetState(TFileData& entry, EntryState state) {
  if (state == entry.State)
    return;
  const bool progress_only = state.phase == Phase::Encoding && entry.State.phase == Phase::Encoding;
  if (!state.Idle() && entry.Cut) {
    entry.Cut = false;
    Changed.Emit({EntryChange::Kind::Cut, &entry, IndexOf(entry)});
  }
  entry.State = std::move(state);
  Changed.Emit({progress_only ? EntryChange::Kind::Progress : EntryChange::Kind::State, &entry,
                IndexOf(entry)});
}

void Queue::OptionsChanged(const TFileData& entry) {
  Changed.Emit({EntryChange::Kind::Options, &entry, IndexOf(entry)});
}

void Queue::TagChanged(const TFileData& entry) {
  Changed.Emit({EntryChange::Kind::Tag, &entry, IndexOf(entry)});
}

void Queue::Renumber(int from) {
  for (int i = from; i < Count(); ++i)
    positions_[entries_[static_cast<size_t>(i)]->Id] = i;
}

}  // namespace tolvane::queue
