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

Migration MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes) {
  if (!user.KeyExists(kEarlierSettingsKey))
    return {};
  for (const shell::VerbEntry& entry : shell::kVerbEntries)
    shell::MigrateShellVerb(classes, entry);

  CopySettings(user, kEarlierSettingsKey, kSettingsKey, EarlierDefaults());
  (void)user.DeleteKey(kEarlierSettingsKey);  // it exists: looked at above
  platform::Result settings = user.Flush();
  platform::Result verbs = classes.Flush();
  return {.moved = true, .written = settings ? std::move(verbs) : std::move(settings)};
}

}  // namespace tolvane::settings
