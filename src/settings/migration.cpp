#include "migration.h"

#include "settings_store.h"
#include "shell/shell_verbs.h"

namespace tolvane::settings {

namespace {

struct Carried {
  const char* name;
  enum Kind { kSwitch, kInteger, kText } kind;
  const char* fallback;
};

// The values in the order they are copied, with the earlier product's defaults.
constexpr Carried kCarried[] = {
    {"Drive", Carried::kInteger, "0"},         {"CRC", Carried::kSwitch, "0"},
    {"Delete", Carried::kSwitch, "0"},         {"Copy", Carried::kSwitch, "0"},
    {"Copyright", Carried::kSwitch, "0"},      {"Private", Carried::kSwitch, "0"},
    {"Close", Carried::kSwitch, "0"},          {"Shutdown", Carried::kSwitch, "0"},
    {"Selector", Carried::kSwitch, "0"},       {"Savelist", Carried::kSwitch, "0"},
    {"Autostart", Carried::kSwitch, "0"},      {"Output", Carried::kText, ""},
    {"Bitrate", Carried::kInteger, "128"},     {"Stereo", Carried::kInteger, "0"},
    {"Priority", Carried::kInteger, "2"},      {"Tree", Carried::kInteger, "0"},
    {"Top", Carried::kInteger, "8"},           {"Left", Carried::kInteger, "8"},
    {"BladePath", Carried::kText, "bladeenc"}, {"Shell", Carried::kSwitch, "0"},
    {"OffSpace", Carried::kSwitch, "0"},       {"OffOverwrite", Carried::kSwitch, "0"},
    {"DeleteBad", Carried::kSwitch, "0"},      {"Recent0", Carried::kText, ""},
    {"Recent1", Carried::kText, ""},           {"Recent2", Carried::kText, ""},
    {"Recent3", Carried::kText, ""},           {"Recent4", Carried::kText, ""},
};

}  // namespace

bool MigrateSettings(platform::RegistryStore& user, platform::RegistryStore& classes) {
  if (!user.KeyExists(kEarlierSettingsKey))
    return false;
  for (const shell::VerbEntry& entry : shell::kVerbEntries)
    shell::MigrateShellVerb(classes, entry);

  const SettingsStore earlier(user, kEarlierSettingsKey);
  SettingsStore current(user, kSettingsKey);
  for (const Carried& value : kCarried) {
    switch (value.kind) {
      case Carried::kSwitch:
        current.WriteSwitch(value.name, earlier.Switch(value.name, value.fallback[0] == '1')
                                            .value_or(value.fallback[0] == '1'));
        break;
      case Carried::kInteger: {
        const int32_t fallback = std::stoi(value.fallback);
        current.WriteInteger(value.name, earlier.Integer(value.name, fallback).value_or(fallback));
        break;
      }
      case Carried::kText:
        current.WriteText(value.name,
                          earlier.Text(value.name, value.fallback).value_or(value.fallback));
        break;
    }
  }
  user.DeleteKey(kEarlierSettingsKey);
  user.Flush();
  classes.Flush();
  return true;
}

}  // namespace tolvane::settings
