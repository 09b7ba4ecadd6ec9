#pragma once

#include <array>
#include <string>

#include "platform/registry.h"

namespace tolvane::shell {

// The file types the "Blade it" verb is offered for, in the order they are written.
struct VerbEntry {
  const char* name;       // ".wav", ..., or the type key itself
  bool is_type_key;       // "Directory" and "Drive" are type keys themselves
  const char* mime_type;  // the type key on a desktop where the extension names none
};
inline constexpr std::array<VerbEntry, 5> kVerbEntries = {{
    {".wav", false, "audio/x-wav"},
    {".aif", false, "audio/x-aiff"},
    {".aiff", false, "audio/x-aiff"},
    {"Directory", true, "inode/directory"},
    {"Drive", true, "inode/mount-point"},
}};

// The type key of an entry: the extension key's default value, or its MIME type when the
// extension names none.
std::string TypeKeyOf(const platform::RegistryStore& classes, const VerbEntry& entry);

// Writes the verb's five keys under the type: the command (the executable in double quotes),
// ddeexec ["%1"], its application "tolvane" and topic "bladefiles".
void RegisterShellVerb(platform::RegistryStore& classes, const VerbEntry& entry,
                       const std::string& executable);
// Deletes the verb's keys; the type's "shell" key stays.
void UnregisterShellVerb(platform::RegistryStore& classes, const VerbEntry& entry);
// Moves the earlier product's verb "Make mp3" to "Blade it", values and subkeys as found.
void MigrateShellVerb(platform::RegistryStore& classes, const VerbEntry& entry);

}  // namespace tolvane::shell
