#include "migration.h"

#include "settings_store.h"
#include "settings_value.h"
#include "shell/shell_verbs.h"

namespace tolvane::settings {

namespace {
// The earlier product's defaults where they differ from ours: its window's place, and the
// estimate of the file's time left.
Settings EarlierDefaults() {
  Settings defaults;
  defaults.top = 8;
  defaults.left = 8;
  defaults.estimate_batch = false;
  return defaults;
}
}  // namespace

bool MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes) {
  if (!user.KeyExists(kEarlierSettingsKey))
    return false;
  for (const shell::VerbEntry& entry : shell::kVerbEntries)
    shell::MigrateShellVerb(classes, entry);

  CopySettings(user, kEarlierSettingsKey, kSettingsKey, EarlierDefaults());
  user.DeleteKey(kEarlierSettingsKey);
  user.Flush();
  classes.Flush();
  return true;
}

}  // namespace tolvane::settings
