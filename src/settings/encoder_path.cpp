#include "encoder_path.h"

#include <string_view>
#include <vector>

namespace tolvane::settings {

std::string FindEncoder(const std::string& text, const std::string& program_folder,
                        platform::FileSystem& files, const platform::Environment& environment,
                        const platform::Paths& paths) {
  if (text.empty() || text.find(paths.Separator()) != std::string::npos)
    return text;
  std::vector<std::string> folders = {environment.CurrentFolder(), program_folder};
  const std::string search = environment.Variable("PATH").value_or("");
  for (std::string_view rest = search; !rest.empty();) {
    const size_t colon = rest.find(':');
    folders.emplace_back(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
  }
  for (const std::string& folder : folders) {
    if (folder.empty())
      continue;
    const std::string candidate = paths.WithTrailingSeparator(folder) + text;
    if (files.FileExists(candidate))
      return candidate;
  }
  return text;
}

}  // namespace tolvane::settings
