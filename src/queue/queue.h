#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "file_data.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/ui/list_view.h"

namespace tolvane::queue {

// The global defaults a new entry copies once.
struct EntryDefaults {
  int32_t bitrate = 128;
  int32_t stereo_mode = 0;
  int32_t priority = 2;
  bool private_flag = false;
  bool copyright_flag = false;
  bool copy_flag = false;
  bool crc_flag = false;
  bool delete_flag = false;
};

// Result bits of ProbeAndEnqueue.
inline constexpr int kUnsupported = 1;  // cannot be opened, or not a supported format or rate
inline constexpr int kQueuedOnce = 2;   // added once for every row that has the same path

// The queue model: its rows in Order (each row owns its TFileData), and an index of the paths in
// it so that a duplicate is found without walking the rows. The rows are toolkit-neutral: a
// window shows them, a tool without one drives the same model. The index follows every row
// added here and every row deleted.
class Queue final {
 public:
  // Takes over the rows' sorting (by Order) and deletion.
  Queue(ui::ListView& rows, platform::FileSystem& files, const platform::Paths& paths);
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  ui::ListView& Rows() const { return rows_; }

  // Examines the file and, when it is supported and not queued yet, appends a row "Queued" whose
  // entry copies `defaults`, and points `entry` at it. Returns 0, or the bits kUnsupported and
  // kQueuedOnce (once per row with the same path, compared byte for byte). Shows no message.
  int ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults, TFileData*& entry);

  // How many rows have this exact path.
  int CountOf(const std::string& path) const;

  // The first row whose status reads exactly "Queued", from the top; null when there is none.
  ui::ListItem* FirstQueued() const;
  // Every row "Queued" again with nothing done; what it was encoded with and its tag stay.
  void RequeueAll();

 private:
  void Forget(const ui::ListItem& row);

  ui::ListView& rows_;
  platform::FileSystem& files_;
  const platform::Paths& paths_;
  std::unordered_map<std::string, int> path_counts_;
};

}  // namespace tolvane::queue
