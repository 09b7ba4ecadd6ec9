#pragma once

#include <cstdint>
#include <string>

#include "platform/number_text.h"
#include "platform/paths.h"
#include "queue/file_data.h"

namespace tolvane::encoding {

using platform::SecondsToTime;

// Version labels compare as plain text, character codes from the left: "v ?.??" is above every
// numbered version and an empty label below all.
inline bool VersionAtLeast(const std::string& label, const std::string& version) {
  return label >= version;
}
inline constexpr const char* kOutdirVersion = "v 0.76";
inline constexpr const char* kChannelSwitchVersion = "v 0.80";
// The bundled encoder, which reads FLAC, Ogg Vorbis and Opus files and sound at any rate.
inline constexpr const char* kBundledEncoderVersion = "v 1.00";

// The longest command line the program passes on, as the classic one-string buffer allowed.
inline constexpr size_t kMaxCommandLine = 10'240;

// The speed figure: two decimals in a field of at least four characters, then "x"; from 100x on
// a whole number ("205x"), as the panel holds no more.
std::string SpeedText(double speed);

// The encoder's command line for one entry: the encoder in quotes, the switches in their fixed
// order, -OUTDIR when the encoder knows it and a target folder is set, and the source in quotes.
std::string BuildCommandLine(const std::string& encoder, const std::string& version_label,
                             const queue::TFileData& entry, const std::string& target_folder,
                             const platform::Paths& paths);

// How far the running file is, measured from its output's size.
struct FileProgress {
  int64_t done_bytes = 0;   // source bytes the output stands for
  long double percent = 0;  // of the file; may pass 100
  int64_t remaining = 0;    // seconds, if the file keeps its pace
  double speed = 0;         // seconds of sound per second of work
};
FileProgress MeasureProgress(int64_t output_size, const queue::TFileData& entry,
                             uint32_t elapsed_ms);

// The seconds still needed when `percent` took `elapsed_ms`; 0 while nothing is done.
int64_t RemainingSeconds(uint32_t elapsed_ms, long double percent);

}  // namespace tolvane::encoding
