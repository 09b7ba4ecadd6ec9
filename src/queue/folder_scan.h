#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "queue.h"

namespace tolvane::queue {

// What one batch of additions met.
struct BatchFlags {
  bool unsupported = false;
  bool duplicate = false;
  // The files found unsupported, in the order met, with why when it is known.
  std::vector<std::pair<std::string, std::string>> unsupported_files;
  // The folders that could not be listed, with the system's words for why.
  std::vector<std::pair<std::string, std::string>> unlisted_folders;

  void Fold(Enqueued outcome) {
    unsupported = unsupported || outcome == Enqueued::Unsupported;
    duplicate = duplicate || outcome == Enqueued::AlreadyQueued;
  }
  void Fold(const std::string& path, EnqueueResult result) {
    Fold(result.outcome);
    if (result.outcome == Enqueued::Unsupported)
      unsupported_files.emplace_back(path, std::move(result.why));
  }
};

// A path counts as a folder when it is one, and also when nothing is there (its scan then finds
// nothing); a file of any other kind is not a folder.
bool IsFolderPath(platform::FileSystem& files, const std::string& path);

// Queues the audio files of `folder` (ending in a separator) and of every folder below it:
// subfolders first, depth first; then the folder's own files of the queue's patterns ("*.wav",
// "*.aif" and "*.aiff" in the window), each pattern in name order.
void ScanFolder(Queue& queue, platform::FileSystem& files, const std::string& folder,
                const EntryDefaults& defaults, BatchFlags& flags);

// Queues one name as the user gave it: a folder with everything below it, anything else as a
// file.
void AddFileOrFolder(Queue& queue, platform::FileSystem& files, const platform::Paths& paths,
                     const std::string& path, const EntryDefaults& defaults, BatchFlags& flags);

}  // namespace tolvane::queue
