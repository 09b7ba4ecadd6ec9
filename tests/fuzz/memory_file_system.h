#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace tolvane::fuzz {

// Files held in memory, so a fuzz target reads its input through the program's own file
// interface without touching the disk. Only reading is served.
class MemoryFileSystem final : public platform::FileSystem {
 public:
  void Put(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }

  std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override {
    const auto found = files_.find(path);
    if (found == files_.end() || mode != platform::OpenMode::Read)
      return nullptr;
    return std::make_unique<MemoryFile>(found->second);
  }
  bool Exists(const std::string& path) override { return files_.contains(path); }
  bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
  bool FileExists(const std::string& path) override { return files_.contains(path); }
  bool FolderExists(const std::string&) override { return false; }
  bool CanEnterFolder(const std::string&) override { return false; }
  platform::Result Delete(const std::string& path) override {
    return files_.erase(path) > 0 ? platform::Result::Done() : Unsupported();
  }
  platform::Result DeleteFolder(const std::string&) override { return Unsupported(); }
  platform::Result Move(const std::string&, const std::string&) override { return Unsupported(); }
  platform::Result Replace(const std::string&, const std::string&) override {
    return Unsupported();
  }
  platform::Result CreateFolder(const std::string&) override { return Unsupported(); }
  platform::Result SyncFolder(const std::string&) override { return platform::Result::Done(); }
  static platform::Result Unsupported() { return platform::Result::Failed("not in memory"); }
  std::optional<std::string> WhyUnreadable(const std::string&) override { return std::nullopt; }
  std::vector<std::string> ListFiles(const std::string&, const std::string&) override { return {}; }
  std::vector<std::string> ListFolders(const std::string&) override { return {}; }
  std::optional<std::string> CanonicalPath(const std::string& path) override { return path; }
  std::optional<std::string> StoredName(const std::string& path) override { return path; }

 private:
  class MemoryFile final : public platform::File {
   public:
    explicit MemoryFile(const std::string& bytes) : bytes_(bytes) {}
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
      if (offset < 0 || count <= 0 || offset >= Size())
        return 0;
      const int64_t got = std::min(count, Size() - offset);
      std::memcpy(buffer, bytes_.data() + offset, static_cast<size_t>(got));
      return got;
    }
    bool WriteAt(int64_t, const void*, int64_t) override { return false; }
    bool Truncate(int64_t) override { return false; }
    bool Sync() override { return false; }

   private:
    const std::string& bytes_;
  };

  std::map<std::string, std::string> files_;
};

}  // namespace tolvane::fuzz
