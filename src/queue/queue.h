#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "file_data.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/rows.h"
#include "probe.h"

namespace tolvane::queue {

// The global defaults a new entry copies once.
using EntryDefaults = EncoderOptions;

// A change of an entry, as the model publishes it. `entry` is null for Moved (the order of
// several rows changed); a Removed entry is still readable while the notice runs.
struct EntryChange {
  enum class Kind {
    Added,
    Removed,
    Moved,
    State,     // its phase, or what the phase carries, changed
    Progress,  // only its encoding percent moved on
    Options,
    Tag
  };
  Kind kind;
  const TFileData* entry = nullptr;
};

// The files a queue takes: how a file is examined, and the name patterns a folder's scan looks
// for, in their order. The window takes WAVE and AIFF files as its probe reads them.
struct SourceKinds {
  std::function<ProbeResult(platform::FileSystem&, const std::string&)> probe = ProbeFile;
  std::vector<std::string> patterns = {"*.wav", "*.aif", "*.aiff"};
};

// Result bits of ProbeAndEnqueue.
inline constexpr int kUnsupported = 1;  // cannot be opened, or not a supported format or rate
inline constexpr int kQueuedOnce = 2;   // added once for every row that has the same path

// The queue model: its rows in Order, each with what it shows (name, status, images, cut mark,
// selection) and owning its TFileData, and an index of the paths in it so that a duplicate is
// found without walking the rows. A window's list views the rows and turns the user's input
// into calls on them; a tool without a window drives the same model. The index follows every
// row added here and every row deleted.
//
// An entry's state, options and tag change through the model only: it shows the change in the
// entry's row (status, images, hint made from the state in one place) and publishes it through
// Changed, which is what the saved queue, the totals and the views follow.
class Queue final {
 public:
  Queue(platform::FileSystem& files, const platform::Paths& paths, SourceKinds kinds = {});
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  const SourceKinds& Kinds() const { return kinds_; }
  platform::RowList& Rows() { return rows_; }
  const platform::RowList& Rows() const { return rows_; }

  // Examines the file and, when it is supported and not queued yet, appends a row "Queued" whose
  // entry copies `defaults`, and points `entry` at it. Returns 0, or the bits kUnsupported and
  // kQueuedOnce (once per row with the same path, compared byte for byte). Shows no message;
  // `why`, when given, gets the reason an opened file is unsupported.
  int ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults, TFileData*& entry,
                      std::string* why = nullptr);

  // How many rows have this exact path.
  int CountOf(const std::string& path) const;

  // The first entry waiting for its turn, from the top; null when there is none.
  TFileData* FirstQueued() const;
  // Every entry "Queued" again with nothing done; what it was encoded with and its tag stay.
  void RequeueAll();

  // The entry's new state, shown in its row and published.
  void SetState(TFileData& entry, EntryState state);
  // The entry's options or tag were changed (through Options() or Tag()): shown and published.
  void OptionsChanged(const TFileData& entry);
  void TagChanged(const TFileData& entry);

  platform::Signal<EntryChange> Changed;

 private:
  void Forget(const platform::ListItem& row);
  // The row as the entry's state and tag make it.
  static void ShowState(const TFileData& entry);

  platform::FileSystem& files_;
  const platform::Paths& paths_;
  SourceKinds kinds_;
  std::unordered_map<std::string, int> path_counts_;
  // Last, so that the rows go (and are forgotten) before the index.
  platform::RowList rows_;
  platform::Subscription reorders_;
};

}  // namespace tolvane::queue
