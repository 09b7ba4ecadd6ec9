#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace tolvane::settings {

inline constexpr const char* kSettingsKey = "SOFTWARE\\Orvik\\Tolvane";
// What the user is told when the settings cannot be written (a reason may follow on a line of
// its own).
inline constexpr const char* kSetDataFailed = "Failed to set data for 'Tolvane'";
inline constexpr const char* kEarlierSettingsKey = "SOFTWARE\\Orvik\\Tolvex";

// The file that holds the user's registry, in the user's configuration folder.
inline std::string UserRegistryPath(const std::string& config_folder) {
  return config_folder + "/HKEY_CURRENT_USER.reg";
}

// The settings as string values of one registry key: numbers in decimal (or hexadecimal after
// "0x"), switches as "0" and "1". A missing key or value, or a text that is no number, gives
// the default; a value of another type is an error the caller reports.
class SettingsStore final {
 public:
  SettingsStore(platform::RegistryStore& registry, std::string key);

  // nullopt when the value has another type.
  std::optional<int32_t> Integer(const std::string& name, int32_t fallback) const;
  std::optional<bool> Switch(const std::string& name, bool fallback) const;
  std::optional<std::string> Text(const std::string& name, const std::string& fallback) const;

  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteSwitch(const std::string& name, bool on) { return WriteInteger(name, on ? 1 : 0); }
  bool WriteText(const std::string& name, const std::string& text);

 private:
  platform::RegistryStore& registry_;
  std::string key_;
};

// Reads an integer the way the settings store does: decimal, or hexadecimal after "0x"/"0X"
// or "$"; nullopt for anything else.
std::optional<int32_t> ParseInteger(const std::string& text);

}  // namespace tolvane::settings
