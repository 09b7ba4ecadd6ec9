#pragma once

#include <string>

#include "platform/file_system.h"
#include "queue.h"

namespace tolvane::queue {

// What one batch of additions met.
struct BatchFlags {
  bool unsupported = false;
  bool duplicate = false;

  void Fold(int probe_result) {
    unsupported = unsupported || (probe_result & kUnsupported) != 0;
    duplicate = duplicate || (probe_result & kQueuedOnce) != 0;
  }
};

// A path counts as a folder when it cannot be opened as a file: a folder, and also a path that
// does not exist (its scan then finds nothing).
bool IsFolderPath(platform::FileSystem& files, const std::string& path);

// Queues the audio files of `folder` (ending in a separator) and of every folder below it:
// subfolders first, depth first; then the folder's own "*.wav", "*.aif" and "*.aiff" files, each
// pattern in name order.
void ScanFolder(Queue& queue, platform::FileSystem& files, const std::string& folder,
                const EntryDefaults& defaults, BatchFlags& flags);

}  // namespace tolvane::queue
