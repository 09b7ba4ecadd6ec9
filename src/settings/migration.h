#pragma once

#include "platform/registry.h"
#include "platform/ui/dialogs.h"

namespace tolvane::settings {

// Moves the earlier product's settings ("Tolvex") to this program's key, with the earlier
// product's defaults for what it lacked, and its shell verb "Make mp3" to "Blade it"; then
// deletes them and tells the user. Does nothing when there is nothing to move. Returns whether
// it moved anything.
bool MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes,
                     ui::Dialogs& dialogs);

}  // namespace tolvane::settings
