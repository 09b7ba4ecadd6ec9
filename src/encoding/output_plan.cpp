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

bool MakeFolders(platform::FileSystem& files, const platform::Paths& paths,
                 const std::string& folder) {
  const std::string path = paths.WithoutTrailingSeparator(folder);
  if (path.empty() || files.FolderExists(path))
    return true;
  const std::string parent = paths.FolderOf(path);
  if (parent != path && !parent.empty() && !MakeFolders(files, paths, parent))
    return false;
  // Another program (a second tolvane-batch of a scale-out) may make it at the same moment.
  return files.CreateFolder(path) || files.FolderExists(path);
}

bool MakeTargetFolders(platform::FileSystem& files, const platform::Paths& paths,
                       const OutputPlan& plan) {
  return plan.output_folder.empty() || MakeFolders(files, paths, plan.target_folder);
}

}  // namespace tolvane::encoding
