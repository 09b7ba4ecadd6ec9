#include "paths.h"

namespace tolvane::platform {

bool Paths::IsSeparator(char c) const {
  return style_ == PathStyle::Windows ? c == '\\' : c == '/';
}

size_t Paths::LastFolderEnd(std::string_view path) const {
  return style_ == PathStyle::Windows ? path.find_last_of("\\:") : path.find_last_of('/');
}

std::string Paths::FolderPart(std::string_view path) const {
  const size_t end = LastFolderEnd(path);
  return end == std::string_view::npos ? std::string() : std::string(path.substr(0, end + 1));
}

std::string Paths::FolderOf(std::string_view path) const {
  std::string folder = FolderPart(path);
  if (!folder.empty() && IsSeparator(folder.back()) && folder != Root(folder))
    folder.pop_back();
  return folder;
}

std::string Paths::NamePart(std::string_view path) const {
  const size_t end = LastFolderEnd(path);
  return std::string(end == std::string_view::npos ? path : path.substr(end + 1));
}

std::string Paths::DisplayName(std::string_view path) const {
  std::string name = NamePart(path);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos)
    name.erase(dot);
  return name;
}

std::string Paths::WithMp3Extension(std::string_view path) const {
  const size_t name_start =
      LastFolderEnd(path) == std::string_view::npos ? 0 : LastFolderEnd(path) + 1;
  const size_t dot = path.rfind('.');
  std::string result(path);
  if (dot != std::string_view::npos && dot >= name_start)
    result.erase(dot);
  return result + ".mp3";
}

std::string Paths::WithTrailingSeparator(std::string_view path) const {
  std::string result(path);
  if (!result.empty() && !IsSeparator(result.back()))
    result += Separator();
  return result;
}

std::string Paths::WithoutTrailingSeparator(std::string_view path) const {
  std::string result(path);
  while (!result.empty() && IsSeparator(result.back()) && result != Root(result))
    result.pop_back();
  return result;
}

std::string Paths::Root(std::string_view path) const {
  if (style_ == PathStyle::Posix)
    return path.starts_with('/') ? "/" : "";
  if (path.size() >= 2 && path[1] == ':') {
    return path.size() >= 3 && path[2] == '\\' ? std::string(path.substr(0, 3))
                                               : std::string(path.substr(0, 2));
  }
  return path.starts_with('\\') ? "\\" : "";
}

std::string Paths::Absolute(std::string_view path, std::string_view current_folder) const {
  const std::string root = Root(path);
  if ((!root.empty() && IsSeparator(root.back())) || path.empty() || current_folder.empty())
    return std::string(path);
  std::string result = WithTrailingSeparator(current_folder);
  const size_t base = result.size();
  for (size_t start = 0; start <= path.size();) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end]))
      ++end;
    const std::string_view component = path.substr(start, end - start);
    if (!component.empty() && component != ".") {
      result += component;
      result += Separator();
    }
    start = end + 1;
  }
  // The trailing separator stays only where the name had one (or where it is the root's).
  if (result.size() > base && !IsSeparator(path.back()))
    result.pop_back();
  else if (result.size() == base && result != Root(result))
    result.pop_back();
  return result;
}

std::string Paths::MirroredTreeLevels(std::string_view path, int depth) const {
  if (depth <= 0)
    return {};
  std::string folder = FolderPart(path);
  // The Windows design always cuts three characters, the "C:\" of a drive path.
  folder.erase(0, style_ == PathStyle::Windows ? 3 : Root(folder).size());
  // Walk back from the end, counting separators; a character is kept while the count,
  // including that character, is at most `depth`.
  int separators = 0;
  size_t keep_from = folder.size();
  for (size_t i = folder.size(); i-- > 0;) {
    if (IsSeparator(folder[i]))
      ++separators;
    if (separators > depth)
      break;
    keep_from = i;
  }
  return folder.substr(keep_from);
}

}  // namespace tolvane::platform
