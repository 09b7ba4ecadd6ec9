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
  // An encoder that knows -OUTDIR (by its version label) can be told where to write.
  bool encoder_takes_folder = false;
  // Such an encoder writes into the target folder itself; an older one writes beside the
  // source, and the MP3 is moved once it is complete.
  bool encoder_writes_target = false;
  std::string encoder_folder;  // the folder the encoder is told to write to; "" for none
  std::string encoder_output;  // where the encoder writes
  // The hidden folder the encoder writes to while the MP3 is incomplete ("" when it writes
  // under the final name).
  std::string staging_folder;
  // Where the MP3 is once complete: the target when there is an output folder (an older
  // encoder's output is moved there, into its tree levels), else beside the source.
  std::string destination;
};
OutputPlan PlanOutput(const std::string& source, const std::string& output_folder, int tree_depth,
                      const std::string& version_label, const platform::Paths& paths);

// Puts the encoder's output into the hidden folder `name` inside the folder the MP3 goes to,
// so that the MP3 appears under its final name only once complete, by a rename in one folder.
// An encoder that cannot be told where to write is left as planned.
void StageOutput(OutputPlan& plan, const std::string& name, const platform::Paths& paths);

// Makes the folder and every level above it that is missing, as `mkdir -p` does; true when it
// exists after.
bool MakeFolders(platform::FileSystem& files, const platform::Paths& paths,
                 const std::string& folder);
// Makes the output folder, every missing level above it and the mirrored levels below it; true
// when the target folder exists after (or there is none).
bool MakeTargetFolders(platform::FileSystem& files, const platform::Paths& paths,
                       const OutputPlan& plan);

}  // namespace tolvane::encoding
