#pragma once

#include <string>
#include <string_view>

namespace tolvane::platform {

// The rules on path text. The Windows style is the program's original behaviour: "\" separates,
// a drive colon ends a folder part too, and roots look like "C:\". The POSIX style separates with
// "/" and its root is "/". Nothing here touches the file system, and nothing changes case.
enum class PathStyle { Windows, Posix };

class Paths final {
 public:
  explicit Paths(PathStyle style) : style_(style) {}

  PathStyle Style() const { return style_; }
  char Separator() const { return style_ == PathStyle::Windows ? '\\' : '/'; }

  // Everything up to and including the last separator (or, on Windows, drive colon); empty when
  // there is none. "C:\music\song.wav" gives "C:\music\".
  std::string FolderPart(std::string_view path) const;
  // The folder without its trailing separator, except where the root needs it: "/a/b.wav" gives
  // "/a", "/b.wav" gives "/", "C:\b.wav" gives "C:\".
  std::string FolderOf(std::string_view path) const;
  // Everything behind the last separator (or drive colon).
  std::string NamePart(std::string_view path) const;
  // The name without its extension (the last "." and what follows it).
  std::string DisplayName(std::string_view path) const;
  // The path with the extension of its name replaced by ".mp3" (added when it has none).
  std::string WithMp3Extension(std::string_view path) const;
  // The path with a separator at its end; an empty path stays empty.
  std::string WithTrailingSeparator(std::string_view path) const;
  // The path without separators at its end, except the root's own: "/a/b/" gives "/a/b".
  std::string WithoutTrailingSeparator(std::string_view path) const;
  // The root the path starts with: "C:\" for "C:\music\a.wav", "/" for an absolute POSIX path,
  // empty for a relative one.
  std::string Root(std::string_view path) const;
  bool IsSeparator(char c) const;
  // The path made absolute against `current_folder` (itself absolute): a path with a full root
  // stays as it is; a relative one is joined to the folder, without its "." components and
  // doubled separators. ".." stays, as only the file system knows where it leads.
  std::string Absolute(std::string_view path, std::string_view current_folder) const;

  // The last `depth` folder levels of the path's folder, below its root, each followed by a
  // separator: depth 2 gives "b\c\" for "C:\a\b\c\song.wav" and "b/c/" for "/a/b/c/song.wav".
  // Fewer levels give all there are; a file at the root gives "".
  std::string MirroredTreeLevels(std::string_view path, int depth) const;

 private:
  // The index of the last character that ends a folder part, or npos.
  size_t LastFolderEnd(std::string_view path) const;

  PathStyle style_;
};

}  // namespace tolvane::platform
