#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/paths.h"

namespace tolvane::encoding {

// Where one source's MP3 goes. Beside the source when there is no output folder; otherwise in
// the output folder, below the last `tree_depth` levels of the source's folder.
struct OutputPlan {
  std::string output_folder;  // with its trailing separator; "" for beside the source
  std::string target_folder;  // the output folder and the mirrored levels; "" beside the source
  std::string beside;         // the MP3's path beside the source
  std::string target;         // the MP3's path in the target folder ("" beside the source)
  // An encoder that knows -OUTDIR (by its version label) writes into the target folder itself;
  // an older one writes beside the source, and the MP3 is moved once it is complete.
  bool encoder_writes_target = false;
  std::string encoder_output;  // where the encoder writes
  // Where the MP3 is once complete: the target when there is an output folder (an older
  // encoder's output is moved there, into its tree levels), else beside the source.
  std::string destination;
};
OutputPlan PlanOutput(const std::string& source, const std::string& output_folder, int tree_depth,
                      const std::string& version_label, const platform::Paths& paths);

// Makes the output folder and the mirrored levels below it, one level at a time; true when the
// target folder exists after (or there is none).
bool MakeTargetFolders(platform::FileSystem& files, const platform::Paths& paths,
                       const OutputPlan& plan);

}  // namespace tolvane::encoding
