#pragma once

#include <string>

#include "result.h"

namespace tolvane::platform {

// The user's files that a desktop reads: desktop entries, file-manager menus and scripts, under
// the user's data folder ($XDG_DATA_HOME).
class DesktopFiles {
 public:
  virtual ~DesktopFiles() = default;
  // Writes the file at `relative_path` below the data folder, its folders made as needed; the old
  // file (if any) is replaced in one step. An `executable` file may be run.
  virtual Result Write(const std::string& relative_path, const std::string& content,
                       bool executable) = 0;
  // Removes the file; done when it is gone (also when it never was there).
  virtual Result Remove(const std::string& relative_path) = 0;
};

}  // namespace tolvane::platform
