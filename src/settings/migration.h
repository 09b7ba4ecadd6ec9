#pragma once

#include "platform/registry.h"
#include "platform/version.h"

namespace tolvane::settings {

// Moves the earlier product's settings ("Tolvex") to this program's key, with the earlier
// product's defaults for what it lacked, and its shell verb "Make mp3" to "Blade it"; then
// deletes them. Does nothing when there is nothing to move. After a move the caller tells the
// user kMigratedText, captioned kMigratedCaption; after a failed write, the system's words (the
// stored earlier settings are then whole, and moved again at the next start).
struct Migration {
  bool moved = false;
  platform::Result written = platform::Result::Done();
};
Migration MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes);

inline constexpr const char* kMigratedText = "System registry updated succesfully.";
inline constexpr const char* kMigratedCaption = "Tolvane " TOLVANE_VERSION;

}  // namespace tolvane::settings
