#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace tolvane::settings {

// The encoder a fresh installation uses: the bundled one, found beside the program or on PATH.
inline constexpr const char* kDefaultEncoder = "bladeenc";
// The most levels of a source's folder tree that are copied below the target folder.
inline constexpr int32_t kMaxTreeDepth = 3;

// Every stored setting of the program, as one value: the defaults of new entries, the switches,
// the folders, the recent folders and the window's place. The window binds it to its controls.
struct Settings {
  // The watched volume's position in the drive menu; unset when the menu had none to save.
  std::optional<int32_t> drive = 0;
  bool crc = false;
  bool delete_source = false;
  bool private_bit = false;
  bool copyright = false;
  bool copy = false;
  bool close_at_end = false;
  bool shutdown_at_end = false;
  bool estimate_batch = true;  // "Selector": the estimate is the batch's time left
  bool save_list = false;
  bool delete_partial = false;  // "DeleteBad"
  bool autostart = false;
  std::string output_folder;
  int32_t bitrate = 128;
  int32_t priority = 2;
  int32_t stereo = 0;
  int32_t tree = 0;
  int32_t top = 0;
  int32_t left = 0;
  std::string encoder_path = kDefaultEncoder;
  bool shell = false;
  bool off_space = false;
  bool off_overwrite = false;
  std::array<std::string, 5> recent;
};

// What a load found.
struct LoadedSettings {
  Settings value;
  // The first value stored with another type than text: the load stopped there, and it and every
  // later setting kept the value they had before.
  std::optional<std::string> wrong_type;
};

// Where the window goes when no place is stored.
struct DefaultPlace {
  int32_t top = 0;
  int32_t left = 0;
};

// Reads the settings below `key` in their fixed order, over `start`: a missing value or a text
// that is no number gives the default, a priority or stereo mode outside its table is held at
// its nearest end. A stored bitrate below 15 is replaced by 128, in the store too.
LoadedSettings LoadSettings(platform::RegistryStore& registry, const std::string& key,
                            const Settings& start, DefaultPlace place);

// Writes every setting below `key` in the fixed order and writes the store back; the system's
// words when it could not be written.
platform::Result SaveSettings(platform::RegistryStore& registry, const std::string& key,
                              const Settings& settings);

// The folder of the last file picked in the Add dialog: only the Add command reads and writes it,
// at once. "" when none is stored.
std::string LoadAddFolder(platform::RegistryStore& registry, const std::string& key);
platform::Result SaveAddFolder(platform::RegistryStore& registry, const std::string& key,
                               const std::string& folder);

// The encoder the user chose, written at once (the other settings wait for the close).
platform::Result SaveEncoderPath(platform::RegistryStore& registry, const std::string& key,
                                 const std::string& path);

// Copies every setting from the key `from` to the key `to`, each as its type: a missing value, a
// text that is no number, or a value of another type gives its value in `defaults`. Nothing is
// held in a range: the values move as they were.
void CopySettings(platform::RegistryStore& registry, const std::string& from, const std::string& to,
                  const Settings& defaults);

}  // namespace tolvane::settings
