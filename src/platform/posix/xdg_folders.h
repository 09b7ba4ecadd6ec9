#pragma once

#include <string>

namespace tolvane::posix {

// Where the program keeps its files, after the XDG base directory rules. Each folder is
// "<base>/tolvane"; the base comes from the variable when it is set to an absolute path.
struct XdgFolders {
  std::string config;   // $XDG_CONFIG_HOME, else ~/.config: the registry files
  std::string state;    // $XDG_STATE_HOME, else ~/.local/state: the job list
  std::string runtime;  // $XDG_RUNTIME_DIR, else /tmp/tolvane-<uid>: sockets and the lock
  // $XDG_DATA_HOME, else ~/.local/share, itself: the desktop's own folders lie below it.
  std::string data;

  static XdgFolders FromEnvironment();
};

// Creates the folder and its missing parents with the given mode; true when it exists after,
// else errno says why.
bool MakeFolders(const std::string& path, unsigned mode);

// Makes the folder (and its parents) for the user alone: true when it is a real folder (no link)
// that belongs to the user, with its mode made 0700. A folder of another user is refused.
bool MakePrivateFolder(const std::string& path);

}  // namespace tolvane::posix
