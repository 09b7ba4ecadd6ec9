#include "folder_scan.h"

#include <set>

namespace tolvane::queue {

bool IsFolderPath(platform::FileSystem& files, const std::string& path) {
  // Anything else that is there (a FIFO, a device) is probed, and found unsupported.
  return files.FolderExists(path) || !files.Exists(path);
}

namespace {

void Scan(Queue& queue, platform::FileSystem& files, const std::string& folder,
          const EntryDefaults& defaults, BatchFlags& flags, std::set<std::string>& visited) {
  // A link back up the tree would make the walk endless: each folder is scanned once.
  const std::optional<std::string> canonical = files.CanonicalPath(folder);
  if (canonical && !visited.insert(*canonical).second)
    return;
  const std::vector<std::string> subfolders = files.ListFolders(folder);
  bool found = !subfolders.empty();
  for (const std::string& name : subfolders) {
    Scan(queue, files, folder + name + "/", defaults, flags, visited);
  }
  for (const std::string& pattern : queue.Kinds().patterns) {
    for (const std::string& name : files.ListFiles(folder, pattern)) {
      found = true;
      flags.Fold(folder + name, queue.ProbeAndEnqueue(folder + name, defaults));
    }
  }
  // Nothing found may be a folder that cannot be read: that is told, never taken for empty.
  if (const std::optional<std::string> why = found ? std::nullopt : files.WhyUnreadable(folder))
    flags.unlisted_folders.emplace_back(folder, *why);
}

}  // namespace

void ScanFolder(Queue& queue, platform::FileSystem& files, const std::string& folder,
                const EntryDefaults& defaults, BatchFlags& flags) {
  std::set<std::string> visited;
  Scan(queue, files, folder, defaults, flags, visited);
}

void AddFileOrFolder(Queue& queue, platform::FileSystem& files, const platform::Paths& paths,
                     const std::string& path, const EntryDefaults& defaults, BatchFlags& flags) {
  if (IsFolderPath(files, path)) {
    ScanFolder(queue, files, paths.WithTrailingSeparator(path), defaults, flags);
    return;
  }
  flags.Fold(path, queue.ProbeAndEnqueue(path, defaults));
}

}  // namespace tolvane::queue
