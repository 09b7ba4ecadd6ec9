#pragma once

#include <string>

#include "platform/desktop_files.h"

namespace tolvane::posix {

// Desktop files in a data folder, written whole (a temporary file, synced, then renamed over the
// old one) so that a desktop never reads half of one. A desktop entry written or removed below
// applications/ updates that folder's type index (mimeinfo.cache).
class XdgDataFiles final : public platform::DesktopFiles {
 public:
  explicit XdgDataFiles(std::string data_folder) : data_folder_(std::move(data_folder)) {}

  const std::string& Folder() const { return data_folder_; }
  platform::Result Write(const std::string& relative_path, const std::string& content,
                         bool executable) override;
  platform::Result Remove(const std::string& relative_path) override;

 private:
  std::string data_folder_;
};

}  // namespace tolvane::posix
