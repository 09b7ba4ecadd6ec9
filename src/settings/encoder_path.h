#pragma once

#include <string>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace tolvane::settings {

// The encoder file that the "Use encoder" text names. A text with a folder part is taken as it
// is. A bare name is looked for in the current folder, then in `program_folder`, then in the
// folders of PATH; the first file found is returned with its folder, and the text itself when
// none has it.
std::string FindEncoder(const std::string& text, const std::string& program_folder,
                        platform::FileSystem& files, const platform::Environment& environment,
                        const platform::Paths& paths);

}  // namespace tolvane::settings
