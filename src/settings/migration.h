#pragma once

#include "platform/registry.h"
#include "platform/version.h"

namespace tolvane::settings {

// Moves the earlier product's settings ("Tolvex") to this program's key, with the earlier
// product's defaults for what it lacked, and its shell verb "Make mp3" to "Blade it"; then
// deletes them. Does nothing when there is nothing to move. Returns whether it moved anything;
// the caller then tells the user kMigratedText, captioned kMigratedCaption.
bool MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes);

inline constexpr const char* kMigratedText = "System registry updated succesfully.";
inline constexpr const char* kMigratedCaption = "Tolvane " TOLVANE_VERSION;

}  // namespace tolvane::settings
