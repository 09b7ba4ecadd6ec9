#include "settings_value.h"

#include <algorithm>

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

}  // namespace

LoadedSettings LoadSettings(platform::RegistryStore& registry, const std::string& key,
                            const Settings& start, DefaultPlace place) {
  LoadedSettings loaded{start, std::nullopt, false};
  Settings& s = loaded.value;
  SettingsStore store(registry, key);
  const auto integer = [&](const char* name, int32_t fallback) {
    return Checked(store.Integer(name, fallback), name);
  };
  const auto on = [&](const char* name, bool fallback = false) {
    return Checked(store.Switch(name, fallback), name);
  };
  const auto text = [&](const char* name, const std::string& fallback) {
    return Checked(store.Text(name, fallback), name);
  };
  try {
    s.drive = integer("Drive", 0);
    s.crc = on("CRC");
    s.delete_source = on("Delete");
    s.private_bit = on("Private");
    s.copyright = on("Copyright");
    s.copy = on("Copy");
    s.close_at_end = on("Close");
    s.shutdown_at_end = on("Shutdown");
    s.estimate_batch = on("Selector", true);
    s.save_list = on("Savelist");
    s.delete_partial = on("DeleteBad");
    s.autostart = on("Autostart");
    s.output_folder = text("Output", "");
    s.bitrate = integer("Bitrate", 128);
    if (s.bitrate < 15) {
      s.bitrate = 128;
      store.WriteInteger("Bitrate", 128);
    }
    // Numbers outside their tables are held at the nearest end, so every caption is a name.
    s.priority = std::clamp(integer("Priority", 2), 0, 5);
    s.stereo = std::clamp(integer("Stereo", 0), 0, 4);
    s.tree = integer("Tree", 0);
    s.top = integer("Top", place.top);
    s.left = integer("Left", place.left);
    s.encoder_path = text("BladePath", "bladeenc");
    loaded.encoder_path_read = true;
    s.shell = on("Shell");
    s.off_space = on("OffSpace");
    s.off_overwrite = on("OffOverwrite");
    for (size_t i = 0; i < s.recent.size(); ++i)
      s.recent[i] = text(("Recent" + std::to_string(i)).c_str(), "");
  } catch (const WrongType& error) {
    loaded.wrong_type = error.name;
  }
  return loaded;
}

bool SaveSettings(platform::RegistryStore& registry, const std::string& key, const Settings& s) {
  SettingsStore store(registry, key);
  if (s.drive)
    store.WriteInteger("Drive", *s.drive);
  const std::pair<const char*, bool> first_switches[] = {{"CRC", s.crc},
                                                         {"Delete", s.delete_source},
                                                         {"Copy", s.copy},
                                                         {"Copyright", s.copyright},
                                                         {"Private", s.private_bit},
                                                         {"Close", s.close_at_end},
                                                         {"Shutdown", s.shutdown_at_end}};
  for (const auto& [name, value] : first_switches)
    store.WriteSwitch(name, value);
  store.WriteSwitch("Selector", s.estimate_batch);
  store.WriteSwitch("Savelist", s.save_list);
  store.WriteSwitch("Autostart", s.autostart);
  store.WriteInteger("Bitrate", s.bitrate);
  store.WriteInteger("Stereo", s.stereo);
  store.WriteInteger("Priority", s.priority);
  store.WriteInteger("Tree", s.tree);
  store.WriteInteger("Top", s.top);
  store.WriteInteger("Left", s.left);
  const std::pair<const char*, bool> last_switches[] = {{"Shell", s.shell},
                                                        {"OffSpace", s.off_space},
                                                        {"OffOverwrite", s.off_overwrite},
                                                        {"DeleteBad", s.delete_partial}};
  for (const auto& [name, value] : last_switches)
    store.WriteSwitch(name, value);
  store.WriteText("Output", s.output_folder);
  for (size_t i = 0; i < s.recent.size(); ++i)
    store.WriteText("Recent" + std::to_string(i), s.recent[i]);
  return registry.Flush();
}

}  // namespace tolvane::settings
