#pragma once

#include <string>
#include <vector>

#include "platform/desktop_files.h"

namespace tolvane::shell {

// "Blade it" on a Linux desktop: a desktop entry that offers the program for WAVE and AIFF files
// and folders (the file manager's "Open With"), a KDE service menu action "Blade it", and a
// "Blade it" script for GNOME Files. Each runs the program with the selected paths, which a
// running copy is handed by the later start.
struct DesktopFile {
  std::string path;  // below the user's data folder
  std::string content;
  bool executable = false;
};
std::vector<DesktopFile> BladeItFiles(const std::string& executable);

// Writes the three files; the first failure's words when one could not be written.
platform::Result InstallBladeIt(platform::DesktopFiles& files, const std::string& executable);
// Removes exactly those files; the first failure's words when one is still there.
platform::Result RemoveBladeIt(platform::DesktopFiles& files);

}  // namespace tolvane::shell
