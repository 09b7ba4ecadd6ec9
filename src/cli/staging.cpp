#include "staging.h"

#include <charconv>

namespace tolvane::cli {

namespace {

constexpr std::string_view kPrefix = ".tolvane-partial-";

}  // namespace

std::string Staging::FolderName() const {
  return std::string(kPrefix) + host + "-" + std::to_string(process_id);
}

void Staging::RemoveAbandoned(platform::FileSystem& files, const platform::Paths& paths,
                              const std::string& folder) const {
  const std::string ours = std::string(kPrefix) + host + "-";
  for (const std::string& name : files.ListFolders(folder)) {
    if (!name.starts_with(ours))
      continue;
    const std::string_view number = std::string_view(name).substr(ours.size());
    int64_t owner = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), owner);
    if (error != std::errc() || end != number.data() + number.size() || owner == process_id ||
        process_alive(owner)) {
      continue;
    }
    const std::string abandoned = paths.WithTrailingSeparator(folder) + name;
    // What cannot go now is hidden, no MP3 of anyone's, and tried again by the next run.
    for (const std::string& partial : files.ListFiles(abandoned, "*.*"))
      (void)files.Delete(paths.WithTrailingSeparator(abandoned) + partial);
    (void)files.DeleteFolder(abandoned);
  }
}

}  // namespace tolvane::cli
