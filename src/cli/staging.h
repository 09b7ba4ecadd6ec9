#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"
#include "platform/paths.h"

namespace tolvane::cli {

// The hidden folder a run writes its MP3 files in until each is complete, beside their places.
// It is named for the machine and the process, so that no two runs share one, and so that a
// later run on the same machine can tell one whose run has died.
struct Staging {
  std::string host;
  int64_t process_id = 0;
  // Whether a process of this machine still runs.
  std::function<bool(int64_t)> process_alive;

  std::string FolderName() const;
  // Removes from `folder` the hidden folders of runs of this machine that have died (killed, or
  // the machine lost power), with the partial files in them.
  void RemoveAbandoned(platform::FileSystem& files, const platform::Paths& paths,
                       const std::string& folder) const;
};

}  // namespace tolvane::cli
