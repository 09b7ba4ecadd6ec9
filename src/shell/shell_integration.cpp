#include "shell_integration.h"

#include "freedesktop_verb.h"
#include "shell_verbs.h"

namespace tolvane::shell {

platform::Result IntegrateIntoShell(platform::RegistryStore& classes, platform::DesktopFiles& files,
                                    const std::string& executable) {
  for (const VerbEntry& entry : kVerbEntries)
    RegisterShellVerb(classes, entry, executable);
  platform::Result done = classes.Flush();
  if (done)
    done = InstallBladeIt(files, executable);
  if (!done) {
    // The failure is what the caller reports; the taking back can only do its best.
    (void)LeaveShell(classes, files);
  }
  return done;
}

platform::Result LeaveShell(platform::RegistryStore& classes, platform::DesktopFiles& files) {
  for (const VerbEntry& entry : kVerbEntries)
    UnregisterShellVerb(classes, entry);
  platform::Result flushed = classes.Flush();
  platform::Result removed = RemoveBladeIt(files);
  return flushed ? removed : flushed;
}

}  // namespace tolvane::shell
