#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "result.h"

namespace tolvane::platform {

// An open file. Reads past the end return fewer bytes; nothing throws.
class File {
 public:
  virtual ~File() = default;
  // The file's size now, or -1 when it cannot be read.
  [[nodiscard]] virtual int64_t Size() = 0;
  // Reads up to `count` bytes at `offset` into `buffer`; returns how many were read (0 at the
  // end or on failure).
  [[nodiscard]] virtual int64_t ReadAt(int64_t offset, void* buffer, int64_t count) = 0;
  // Writes `count` bytes at `offset`; false unless all were written.
  [[nodiscard]] virtual bool WriteAt(int64_t offset, const void* buffer, int64_t count) = 0;
  [[nodiscard]] virtual bool Truncate(int64_t size) = 0;
  // Pushes what was written to the disk.
  [[nodiscard]] virtual bool Sync() = 0;
};

enum class OpenMode { Read, ReadWrite, CreateTruncate };

// The start of a file, and its whole size.
struct FileHead {
  int64_t size = 0;
  std::string bytes;  // at most the bytes asked for; fewer when the file is shorter
};

// What the program needs of files and folders. Paths are used as given; a relative path is
// taken relative to the process's current folder, which the program never changes.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Null when the file cannot be opened (missing, no permission) or is no regular file (a
  // folder, a FIFO, a device): opening never waits for another program.
  [[nodiscard]] virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  // The size and the first `max_bytes` bytes of a regular file, opened as Open opens it for
  // reading; nullopt when Open would give null. A system may do this more cheaply.
  virtual std::optional<FileHead> ReadHead(const std::string& path, int64_t max_bytes) {
    const std::unique_ptr<File> file = Open(path, OpenMode::Read);
    if (file == nullptr)
      return std::nullopt;
    FileHead head;
    head.size = file->Size();
    head.bytes.resize(static_cast<size_t>(std::max<int64_t>(0, max_bytes)));
    head.bytes.resize(static_cast<size_t>(file->ReadAt(0, head.bytes.data(), max_bytes)));
    return head;
  }
  // Whether anything (a file, folder, FIFO, device, ...) is there.
  [[nodiscard]] virtual bool Exists(const std::string& path) = 0;
  // Whether two paths name one file: the same path, or (through links) the same file on disk.
  [[nodiscard]] virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  [[nodiscard]] virtual bool FileExists(const std::string& path) = 0;
  [[nodiscard]] virtual bool FolderExists(const std::string& path) = 0;
  // Whether the folder exists and may be entered (searched), so that what is in it can be used.
  [[nodiscard]] virtual bool CanEnterFolder(const std::string& path) = 0;
  virtual Result Delete(const std::string& path) = 0;
  // Removes an empty folder; it fails when the folder is missing or not empty.
  virtual Result DeleteFolder(const std::string& path) = 0;
  // Moves or renames a file; fails when the target exists, also when it appears meanwhile.
  virtual Result Move(const std::string& from, const std::string& to) = 0;
  // Renames a file over another in one step: the target is the old file or the new one.
  virtual Result Replace(const std::string& from, const std::string& to) = 0;
  // Creates one folder level; it fails when the parent is missing or the folder exists.
  virtual Result CreateFolder(const std::string& path) = 0;
  // Pushes the folder's list of names to the disk: a rename into it survives a power loss.
  virtual Result SyncFolder(const std::string& path) = 0;
  // Why a file cannot be opened for reading or a folder cannot be listed, in the system's
  // words ("Permission denied"); nullopt when it can, or when nothing is there.
  virtual std::optional<std::string> WhyUnreadable(const std::string& path) = 0;
  // Why files cannot be made in a folder that exists, in the system's words ("Read-only file
  // system"); nullopt when they can, or when nothing is known.
  virtual std::optional<std::string> WhyCannotWriteIn(const std::string&) { return std::nullopt; }

  // Names (not paths) in `folder` matching `pattern` ("*" and "?" wildcards, letters compared
  // without regard to case, "*.*" matching every name), sorted by name. Files only, or folders
  // only (without "." and ".."). Empty when the folder cannot be read.
  virtual std::vector<std::string> ListFiles(const std::string& folder,
                                             const std::string& pattern) = 0;
  virtual std::vector<std::string> ListFolders(const std::string& folder) = 0;

  // The path with every link and "." or ".." resolved, or nullopt when it does not exist. Two
  // paths name the same folder when these agree.
  virtual std::optional<std::string> CanonicalPath(const std::string& path) = 0;

  // The name the file system spells the path's last component with, or nullopt when it does
  // not exist.
  virtual std::optional<std::string> StoredName(const std::string& path) = 0;
};

// Matches a name against a pattern with "*" and "?", letters compared without regard to case;
// "*.*" matches every name, with or without a dot.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace tolvane::platform
