#pragma once

#include "platform/file_system.h"

namespace tolvane::posix {

class PosixFileSystem final : public platform::FileSystem {
 public:
  std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override;
  std::optional<platform::FileHead> ReadHead(const std::string& path, int64_t max_bytes) override;
  bool Exists(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  bool CanEnterFolder(const std::string& path) override;
  platform::Result Delete(const std::string& path) override;
  platform::Result DeleteFolder(const std::string& path) override;
  platform::Result Move(const std::string& from, const std::string& to) override;
  platform::Result Replace(const std::string& from, const std::string& to) override;
  platform::Result CreateFolder(const std::string& path) override;
  platform::Result SyncFolder(const std::string& path) override;
  std::optional<std::string> WhyUnreadable(const std::string& path) override;
  std::optional<std::string> WhyCannotWriteIn(const std::string& folder) override;
  std::vector<std::string> ListFiles(const std::string& folder,
                                     const std::string& pattern) override;
  std::vector<std::string> ListFolders(const std::string& folder) override;
  std::optional<std::string> CanonicalPath(const std::string& path) override;
  std::optional<std::string> StoredName(const std::string& path) override;
};

}  // namespace tolvane::posix
