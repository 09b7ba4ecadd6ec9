#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "file_data.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/signal.h"
#include "probe.h"

namespace tolvane::queue {

// The global defaults a new entry copies once.
using EntryDefaults = EncoderOptions;

// A change of the queue, as the model publishes it. `entry` and `index` are unset for Moved (the
// order of several entries changed); a Removed entry is still readable while the notice runs,
// and `index` is where it stood.
struct EntryChange {
  enum class Kind {
    Added,
    Removed,
    Moved,
    State,     // its phase, or what the phase carries, changed
    Progress,  // only its encoding percent moved on
    Options,
    Tag,
    Cut  // it joined or left the cut group
  };
  Kind kind;
  const TFileData* entry = nullptr;
  int index = -1;
};

// The files a queue takes: how a file is examined, the name patterns a folder's scan looks for
// (in their order) and the Add dialog's filter, and the tag a new entry starts with, read from
// its source (unset, or nullopt: none). By default, WAVE and AIFF files as the probe reads them.
struct SourceKinds {
  std::function<ProbeResult(platform::FileSystem&, const std::string&)> probe = ProbeFile;
  std::vector<std::string> patterns = {"*.wav", "*.aif", "*.aiff"};
  std::string filter = "Applicable audio|*.wav;*.aiff;*.aif";
  std::function<std::optional<TagFields>(platform::FileSystem&, const std::string&)> tag;
};

// What ProbeAndEnqueue did with a file.
enum class Enqueued {
  Added,
  Unsupported,   // cannot be opened, or not a supported format or rate
  AlreadyQueued  // its path, compared byte for byte, is in the queue
};

struct EnqueueResult {
  Enqueued outcome = Enqueued::Unsupported;
  TFileData* entry = nullptr;  // the new entry when Added
  std::string why;             // why an opened file is unsupported
};

// The queue model: the entries in the order they are encoded, each owned here and named by a
// stable id, and an index of the paths in it so that a duplicate is found without a walk. A
// window's list shows it and turns the user's input into the commands below; a tool without a
// window drives the same model.
//
// Every change goes through a command, which keeps the invariants (an entry at work is neither
// removed, cut nor moved away by Paste; one order) and publishes one notice through Changed,
// which is what the saved queue, the totals and the views follow.
class Queue final {
 public:
  Queue(platform::FileSystem& files, const platform::Paths& paths, SourceKinds kinds = {});
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  const SourceKinds& Kinds() const { return kinds_; }
  // What is taken from now on (the window's encoder changed); the queued entries stay.
  void SetKinds(SourceKinds kinds) { kinds_ = std::move(kinds); }

  int Count() const { return static_cast<int>(entries_.size()); }
  TFileData& At(int index) const { return *entries_.at(static_cast<size_t>(index)); }
  // Where the entry stands, or -1 when it is not in this queue.
  int IndexOf(const TFileData& entry) const;
  // Null for an id that is not (or no longer) in the queue.
  TFileData* Find(EntryId id) const;

  // Examines the file and, when it is supported and not queued yet, appends an entry "Queued"
  // that copies `defaults`. Shows no message. A file that cannot be read counts as unsupported
  // even when its path is queued.
  EnqueueResult ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults);

  // How many entries have this exact path.
  int CountOf(const std::string& path) const;
  // The first entry waiting for its turn, from the top; null when there is none.
  TFileData* FirstQueued() const;
  // The entries that are not finished, in their order: what the job list keeps.
  std::vector<const TFileData*> Unfinished() const;

  // Removes an entry that no job holds; false, and nothing changes, for one at work.
  bool Remove(const TFileData& entry);
  // Sorts with `compare` (negative, zero, positive), keeping equal entries in their order.
  void Sort(const std::function<int(const TFileData&, const TFileData&)>& compare);
  // Puts the entries into `order`, which must hold each of them once.
  void Rearrange(const std::vector<const TFileData*>& order);
  // Puts an entry that no job holds into the cut group or takes it out; false for one at work.
  bool SetCut(TFileData& entry, bool cut);
  void ClearCut();
  // Moves the cut group, in its order, right below the entry at `below`, and empties the group.
  void Paste(int below);
  // Every entry "Queued" again with nothing done; what it was encoded with and its tag stay.
  void RequeueAll();

  // The entry's new state, published. An entry that a job takes leaves the cut group.
  void SetState(TFileData& entry, EntryState state);
  // The entry's options or tag were changed (through Options() or Tag()): published.
  void OptionsChanged(const TFileData& entry);
  void TagChanged(const TFileData& entry);

  platform::Signal<EntryChange> Changed;

 private:
  void Renumber(int from);

  platform::FileSystem& files_;
  const platform::Paths& paths_;
  SourceKinds kinds_;
  std::vector<std::unique_ptr<TFileData>> entries_;
  std::unordered_map<EntryId, int> positions_;
  std::unordered_map<std::string, int> path_counts_;
  EntryId next_id_ = 1;
};

}  // namespace tolvane::queue
