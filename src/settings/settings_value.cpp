#include "settings_value.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <variant>
#include <vector>

#include "settings_store.h"

namespace tolvane::settings {

namespace {

// A value of another type stops the load.
struct WrongType {
  std::string name;
};

template <typename T>
T Checked(std::optional<T> value, const std::string& name) {
  if (!value)
    throw WrongType{name};
  return *value;
}

// Where a setting lives in Settings, which also gives its type: a switch ("0" or "1"), a number,
// or a text.
using Field = std::variant<bool Settings::*, int32_t Settings::*, std::string Settings::*>;

// One stored setting: its registry name, its field (whose initial value in Settings is its
// default), its place in the save order (kNotSaved: written elsewhere) and in the order the
// migration copies it, and for a number the range it is held in and the value below which it is
// replaced by its default, in the store too. The rows stand in the load order.
struct Row {
  const char* name;
  Field field;
  int save_rank;
  int copy_rank;
  int32_t low = INT32_MIN;
  int32_t high = INT32_MAX;
  int32_t replaced_below = INT32_MIN;
};
constexpr int kNotSaved = -1;

// Every setting but the watched drive and the recent folders, which have rules of their own.
const Row kRows[] = {
    {"CRC", &Settings::crc, 1, 1},
    {"Delete", &Settings::delete_source, 2, 2},
    {"Private", &Settings::private_bit, 5, 5},
    {"Copyright", &Settings::copyright, 4, 4},
    {"Copy", &Settings::copy, 3, 3},
    {"Close", &Settings::close_at_end, 6, 6},
    {"Shutdown", &Settings::shutdown_at_end, 7, 7},
    {"Selector", &Settings::estimate_batch, 8, 8},
    {"Savelist", &Settings::save_list, 9, 9},
    {"DeleteBad", &Settings::delete_partial, 20, 22},
    {"Autostart", &Settings::autostart, 10, 10},
    {"Output", &Settings::output_folder, 21, 11},
    // A bitrate no encoder takes.
    {"Bitrate", &Settings::bitrate, 11, 12, INT32_MIN, INT32_MAX, 15},
    // Numbers outside their tables are held at the nearest end, so every caption is a name.
    {"Priority", &Settings::priority, 13, 14, 0, 5},
    {"Stereo", &Settings::stereo, 12, 13, 0, 4},
    {"Tree", &Settings::tree, 14, 15, 0, kMaxTreeDepth},
    {"Top", &Settings::top, 15, 16},
    {"Left", &Settings::left, 16, 17},
    // Written when the user chooses an encoder.
    {"BladePath", &Settings::encoder_path, kNotSaved, 18},
    {"Shell", &Settings::shell, 17, 19},
    {"OffSpace", &Settings::off_space, 18, 20},
    {"OffOverwrite", &Settings::off_overwrite, 19, 21},
};

// The rows that have a place in an order, in that order.
std::vector<const Row*> InOrder(int Row::*rank) {
  std::vector<const Row*> rows;
  for (const Row& row : kRows) {
    if (row.*rank != kNotSaved)
      rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(),
            [rank](const Row* a, const Row* b) { return a->*rank < b->*rank; });
  return rows;
}

void Load(SettingsStore& store, const Row& row, const Settings& defaults, Settings& s) {
  std::visit(
      [&](auto member) {
        using Value = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<Value, bool>) {
          s.*member = Checked(store.Switch(row.name, defaults.*member), row.name);
        } else if constexpr (std::is_same_v<Value, int32_t>) {
          int32_t value = Checked(store.Integer(row.name, defaults.*member), row.name);
          if (value < row.replaced_below) {
            value = defaults.*member;
            store.WriteInteger(row.name, value);
          }
          s.*member = std::clamp(value, row.low, row.high);
        } else {
          s.*member = Checked(store.Text(row.name, defaults.*member), row.name);
        }
      },
      row.field);
}

void Save(SettingsStore& store, const Row& row, const Settings& s) {
  std::visit(
      [&](auto member) {
        using Value = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<Value, bool>) {
          store.WriteSwitch(row.name, s.*member);
        } else if constexpr (std::is_same_v<Value, int32_t>) {
          store.WriteInteger(row.name, s.*member);
        } else {
          store.WriteText(row.name, s.*member);
        }
      },
      row.field);
}

std::string RecentName(size_t index) {
  return "Recent" + std::to_string(index);
}

// The default of each setting: the Settings defaults, with the window's place.
Settings DefaultsWith(DefaultPlace place) {
  Settings defaults;
  defaults.top = place.top;
  defaults.left = place.left;
  return defaults;
}

// Reads one setting as its type; a value of another type gives the default.
void CopyOne(const SettingsStore& from, SettingsStore& to, const Row& row,
             const Settings& defaults) {
  std::visit(
      [&](auto member) {
        using Value = std::remove_cvref_t<decltype(defaults.*member)>;
        if constexpr (std::is_same_v<Value, bool>) {
          to.WriteSwitch(row.name,
                         from.Switch(row.name, defaults.*member).value_or(defaults.*member));
        } else if constexpr (std::is_same_v<Value, int32_t>) {
          to.WriteInteger(row.name,
                          from.Integer(row.name, defaults.*member).value_or(defaults.*member));
        } else {
          to.WriteText(row.name, from.Text(row.name, defaults.*member).value_or(defaults.*member));
        }
      },
      row.field);
}

}  // namespace

LoadedSettings LoadSettings(platform::RegistryStore& registry, const std::string& key,
                            const Settings& start, DefaultPlace place) {
  LoadedSettings loaded{start, std::nullopt};
  Settings& s = loaded.value;
  const Settings defaults = DefaultsWith(place);
  SettingsStore store(registry, key);
  try {
    s.drive = Checked(store.Integer("Drive", 0), "Drive");
    for (const Row& row : kRows)
      Load(store, row, defaults, s);
    for (size_t i = 0; i < s.recent.size(); ++i)
      s.recent[i] = Checked(store.Text(RecentName(i), ""), RecentName(i));
  } catch (const WrongType& error) {
    loaded.wrong_type = error.name;
  }
  return loaded;
}

platform::Result SaveSettings(platform::RegistryStore& registry, const std::string& key,
                              const Settings& s) {
  SettingsStore store(registry, key);
  if (s.drive)
    store.WriteInteger("Drive", *s.drive);
  for (const Row* row : InOrder(&Row::save_rank))
    Save(store, *row, s);
  for (size_t i = 0; i < s.recent.size(); ++i)
    store.WriteText(RecentName(i), s.recent[i]);
  return registry.Flush();
}

namespace {
constexpr const char* kAddFolderValue = "Path";
}  // namespace

std::string LoadAddFolder(platform::RegistryStore& registry, const std::string& key) {
  return SettingsStore(registry, key).Text(kAddFolderValue, "").value_or("");
}

platform::Result SaveAddFolder(platform::RegistryStore& registry, const std::string& key,
                               const std::string& folder) {
  SettingsStore(registry, key).WriteText(kAddFolderValue, folder);
  return registry.Flush();
}

platform::Result SaveEncoderPath(platform::RegistryStore& registry, const std::string& key,
                                 const std::string& path) {
  Settings s;
  s.encoder_path = path;
  SettingsStore store(registry, key);
  for (const Row& row : kRows) {
    const auto* text = std::get_if<std::string Settings::*>(&row.field);
    if (text != nullptr && *text == &Settings::encoder_path)
      Save(store, row, s);
  }
  return registry.Flush();
}

void CopySettings(platform::RegistryStore& registry, const std::string& from, const std::string& to,
                  const Settings& defaults) {
  const SettingsStore earlier(registry, from);
  SettingsStore current(registry, to);
  const int32_t drive = defaults.drive.value_or(0);
  current.WriteInteger("Drive", earlier.Integer("Drive", drive).value_or(drive));
  for (const Row* row : InOrder(&Row::copy_rank))
    CopyOne(earlier, current, *row, defaults);
  for (size_t i = 0; i < defaults.recent.size(); ++i)
    current.WriteText(RecentName(i), earlier.Text(RecentName(i), "").value_or(""));
}

}  // namespace tolvane::settings
