#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// The header facts of a supported input file.
struct AudioHeader {
  int64_t file_size = 0;
  int32_t channels = 0;
  int32_t bits_per_sample = 0;
  int32_t sample_rate = 0;
};

// The AIFF sample rate: an 80-bit IEEE 754 extended value, big-endian, rounded to the nearest
// integer (halves to even). All zero bytes, and an exponent of 0x7FFF, give 0.
int64_t ExtendedToInt(const std::array<uint8_t, 10>& bytes);

// Nearest integer, halves to even, as every size and duration is rounded.
int64_t RoundHalfEven(double value);

// The expected MP3 size in bytes at `bitrate_kbps`.
int64_t RequiredSizeFor(int64_t file_size, int64_t input_bits_per_second, int32_t bitrate_kbps);

// The queue: its rows, and an index of the paths in it so that a duplicate is found without
// walking the rows. The index follows every row added here and every row deleted.
class Queue final {
 public:
  Queue(ui::ListView& rows, platform::FileSystem& files, const platform::Paths& paths);
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  ui::ListView& Rows() const { return rows_; }

  // Examines the file and, when it is supported and not queued yet, appends a row "Queued" whose
  // entry copies `defaults`, and points `entry` at it. Returns 0, or the bits kUnsupported and
  // kQueuedOnce (once per row with the same path, compared byte for byte). Shows no message.
  int ProbeAndEnqueue(const std::string& path, const EntryDefaults& defaults, TFileData*& entry);

  // Reads the header. `opened` is false when the file cannot be opened; `header` is empty for
  // anything the encoder cannot take.
  struct ProbeResult {
    bool opened = false;
    std::optional<AudioHeader> header;
  };
  ProbeResult Probe(const std::string& path);
  // How many rows have this exact path.
  int CountOf(const std::string& path) const;

  // The queue row's OnDeletion calls this with the row being deleted.
  void Forget(const ui::ListItem& row);

 private:
  ui::ListView& rows_;
  platform::FileSystem& files_;
  const platform::Paths& paths_;
  std::unordered_map<std::string, int> path_counts_;
};

}  // namespace tolvane::queue
