#include "startup.h"

namespace tolvane::app {

StartupPlan PlanStartup(const std::vector<std::string>& arguments, const std::string& job_list_path,
                        platform::FileSystem& files, const platform::Paths& paths) {
  StartupPlan plan;
  plan.had_arguments = !arguments.empty();
  for (const std::string& argument : arguments) {
    if (argument == "-continue") {
      if (!files.FileExists(job_list_path)) {
        plan.end_now = true;
        plan.names.clear();
        return plan;
      }
      continue;
    }
    // A name ending in a separator, or a root, has no last component to look up.
    const std::optional<std::string> stored =
        paths.NamePart(argument).empty() ? std::nullopt : files.StoredName(argument);
    plan.names.push_back(stored ? paths.FolderPart(argument) + *stored : argument);
  }
  return plan;
}

std::string JobListPath(const std::string& state_folder, const std::string& executable_path) {
  const size_t slash = executable_path.rfind('/');
  const std::string name =
      slash == std::string::npos ? executable_path : executable_path.substr(slash + 1);
  return state_folder + "/" + name + ".dat";
}

}  // namespace tolvane::app
