#pragma once

#include <memory>
#include <string>

#include "platform/posix/posix_file_system.h"

namespace tolvane::testing {

// The real file system, with faults a test asks for: writes to files whose path ends in
// `failing_writes`, and every move or replace when `moves_fail`, fail as a full disk or a
// network file system would make them fail.
class FaultyFileSystem final : public platform::FileSystem {
 public:
  std::string failing_writes;
  bool moves_fail = false;

  std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override {
    std::unique_ptr<platform::File> file = real_.Open(path, mode);
    if (file == nullptr || failing_writes.empty() || !path.ends_with(failing_writes))
      return file;
    return std::make_unique<FailingWrites>(std::move(file));
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool SameFile(const std::string& a, const std::string& b) override {
    return real_.SameFile(a, b);
  }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
  bool CanEnterFolder(const std::string& path) override { return real_.CanEnterFolder(path); }
  platform::Result Delete(const std::string& path) override { return real_.Delete(path); }
  platform::Result DeleteFolder(const std::string& path) override {
    return real_.DeleteFolder(path);
  }
  platform::Result Move(const std::string& from, const std::string& to) override {
    return moves_fail ? platform::Result::Failed("Operation not permitted") : real_.Move(from, to);
  }
  platform::Result Replace(const std::string& from, const std::string& to) override {
    return moves_fail ? platform::Result::Failed("Operation not permitted")
                      : real_.Replace(from, to);
  }
  platform::Result CreateFolder(const std::string& path) override {
    return real_.CreateFolder(path);
  }
  platform::Result SyncFolder(const std::string& path) override { return real_.SyncFolder(path); }
  std::optional<std::string> WhyUnreadable(const std::string& path) override {
    return real_.WhyUnreadable(path);
  }
  std::vector<std::string> ListFiles(const std::string& folder,
                                     const std::string& pattern) override {
    return real_.ListFiles(folder, pattern);
  }
  std::vector<std::string> ListFolders(const std::string& folder) override {
    return real_.ListFolders(folder);
  }
  std::optional<std::string> CanonicalPath(const std::string& path) override {
    return real_.CanonicalPath(path);
  }
  std::optional<std::string> StoredName(const std::string& path) override {
    return real_.StoredName(path);
  }

 private:
  class FailingWrites final : public platform::File {
   public:
    explicit FailingWrites(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}
    int64_t Size() override { return file_->Size(); }
    int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
      return file_->ReadAt(offset, buffer, count);
    }
    bool WriteAt(int64_t, const void*, int64_t) override { return false; }
    bool Truncate(int64_t size) override { return file_->Truncate(size); }
    bool Sync() override { return false; }

   private:
    std::unique_ptr<platform::File> file_;
  };

  posix::PosixFileSystem real_;
};

}  // namespace tolvane::testing
