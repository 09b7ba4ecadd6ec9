#include "output_plan.h"

#include "job_text.h"

namespace tolvane::encoding {

OutputPlan PlanOutput(const std::string& source, const std::string& output_folder, int tree_depth,
                      const std::string& version_label, const platform::Paths& paths) {
  OutputPlan plan;
  plan.output_folder = paths.WithTrailingSeparator(output_folder);
  plan.beside = paths.WithMp3Extension(source);
  plan.encoder_output = plan.beside;
  plan.destination = plan.beside;
  plan.encoder_takes_folder = VersionAtLeast(version_label, kOutdirVersion);
  if (plan.output_folder.empty())
    return plan;
  plan.target_folder = plan.output_folder + paths.MirroredTreeLevels(source, tree_depth);
  plan.target = plan.target_folder + paths.NamePart(plan.beside);
  plan.destination = plan.target;
  plan.encoder_writes_target = plan.encoder_takes_folder;
  if (plan.encoder_writes_target) {
    plan.encoder_folder = plan.target_folder;
    plan.encoder_output = plan.target;
  }
  return plan;
}

void StageOutput(OutputPlan& plan, const std::string& name, const platform::Paths& paths) {
  if (!plan.encoder_takes_folder || name.empty())
    return;
  plan.staging_folder = paths.WithTrailingSeparator(paths.FolderPart(plan.destination) + name);
  plan.encoder_folder = plan.staging_folder;
  plan.encoder_output = plan.staging_folder + paths.NamePart(plan.destination);
}

bool MakeTargetFolders(platform::FileSystem& files, const platform::Paths& paths,
                       const OutputPlan& plan) {
  if (plan.output_folder.empty())
    return true;
  std::string folder = plan.output_folder;
  bool made = files.FolderExists(folder) || files.CreateFolder(folder);
  const std::string levels = plan.target_folder.substr(plan.output_folder.size());
  for (size_t start = 0; made && start < levels.size();) {
    const size_t end = levels.find(paths.Separator(), start);
    folder += levels.substr(start, end - start + 1);
    made = files.FolderExists(folder) || files.CreateFolder(folder);
    start = end + 1;
  }
  return made;
}

}  // namespace tolvane::encoding
