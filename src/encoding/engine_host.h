#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tags/song_tag.h"

namespace tolvane::encoding {

// What the batch engine reads of the options, taken afresh at each launch and each tick: only
// what the controls hold, so that a snapshot costs no file system access.
struct EngineOptions {
  std::string version_label;    // "v 1.00", "v ?.??", or "" when unread
  std::string output_folder;    // "" writes beside the source
  int tree_depth = 0;           // source folder levels mirrored below the output folder
  bool check_overwrite = true;  // ask before replacing an existing MP3
  bool check_space = true;      // ask when the free space looks short
  bool delete_partial = false;  // a stopped job's output is deleted
  bool show_console = false;    // the encoder keeps the program's console
  bool estimate_batch = true;   // the estimate is the batch's time left, else the file's
  std::string watched_volume;   // the volume whose free space and required space are shown
  enum class OnEnd { Nothing, Close, PowerOff } on_end = OnEnd::Nothing;
};

// The program around the engine: its options, and what the end of a batch may ask of it.
class EngineHost {
 public:
  virtual ~EngineHost() = default;
  virtual EngineOptions Options() = 0;
  // The encoder's file (a bare name found on the search path), asked once per launch.
  virtual std::string EncoderFile() = 0;
  // Saves every setting and the job list (before powering off, and when a close stops a job).
  virtual void SaveSettings() = 0;
  // One line for the log (standard error): what went wrong without stopping the batch.
  virtual void Log(const std::string& line) = 0;
  // Closes the program by its normal path; an unattended close (a signal's) asks nothing.
  virtual void CloseProgram(bool unattended) = 0;
  // What a source file's own tags say, read as its job finishes: the MP3 carries what the
  // entry's fields leave out (album artist, numbers, the cover). None by default.
  virtual std::optional<tags::SongTag> SourceTag(const std::string& /*path*/) {
    return std::nullopt;
  }
};

}  // namespace tolvane::encoding
