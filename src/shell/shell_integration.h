#pragma once

#include <string>

#include "platform/desktop_files.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tolvane::shell {

// "Integrate into shell" switched on: the verb "Blade it" on every file type of the registry,
// written to its file, and the desktop's files. A failure takes back what was written, so that
// nothing is left half integrated, and gives the system's words.
platform::Result IntegrateIntoShell(platform::RegistryStore& classes, platform::DesktopFiles& files,
                                    const std::string& executable);
// Switched off: the verb and the desktop's files go; a failure gives the system's words.
platform::Result LeaveShell(platform::RegistryStore& classes, platform::DesktopFiles& files);

}  // namespace tolvane::shell
