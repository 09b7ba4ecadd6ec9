#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "queue/queue.h"
#include "settings/settings_value.h"

namespace tolvane::cli {

// Everything a run of tolvane-batch is asked to do.
struct BatchOptions {
  std::vector<std::string> inputs;  // files and folders, as given
  queue::EntryDefaults entry;       // bitrate, mode, priority and the header bits
  std::string output_folder;        // "" writes beside each source
  int tree_depth = 0;
  bool mirror = false;  // the tree below each named folder is mirrored below output_folder
  bool beside = false;  // beside each source, whatever the window's target folder
  std::optional<queue::TagFields> tag;  // every file gets it when any tag option is given
  bool source_tags = true;              // the sources' own tags are carried over
  bool replaygain = false;              // ReplayGain measured where the source has none
  std::string encoder = settings::kDefaultEncoder;  // as the window's "Use encoder" holds it
  bool overwrite = false;
  bool resume = false;  // an MP3 already in place counts as done, not as skipped
  int jobs = 1;
  bool continue_list = false;
  int shard = 1;  // take every `shards`-th input from the `shard`-th on
  int shards = 1;
  bool dry_run = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  bool list_genres = false;
};

// The defaults: the window's settings where it has stored them, `jobs` jobs at once.
BatchOptions DefaultOptions(const settings::Settings& window, int jobs);

// Reads the arguments (without the program's name) over `defaults`, GNU style: "-b 192",
// "-b192", "--bitrate 192", "--bitrate=192", "--" before names that start with "-". A bad
// argument gives a one-line message naming it.
std::variant<BatchOptions, std::string> ParseArguments(const std::vector<std::string>& arguments,
                                                       BatchOptions defaults);

// What --help prints.
std::string HelpText();

}  // namespace tolvane::cli
