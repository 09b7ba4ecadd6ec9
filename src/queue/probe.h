#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace tolvane::queue {

// The header facts of a supported input file.
struct AudioHeader {
  int64_t file_size = 0;
  int32_t channels = 0;
  int32_t bits_per_sample = 0;
  int32_t sample_rate = 0;
};

// The AIFF sample rate: an 80-bit IEEE 754 extended value, big-endian, rounded to the nearest
// integer (halves to even). All zero bytes, and an exponent of 0x7FFF, give 0.
int64_t ExtendedToInt(const std::array<uint8_t, 10>& bytes);

// The expected MP3 size in bytes at `bitrate_kbps`.
int64_t RequiredSizeFor(int64_t file_size, int64_t input_bits_per_second, int32_t bitrate_kbps);

// What the probe found in a file. `opened` is false when the file cannot be opened; `header` is
// empty for anything the encoder cannot take.
struct ProbeResult {
  bool opened = false;
  std::optional<AudioHeader> header;
  // It starts as a WAVE or AIFF file does.
  bool wave_or_aiff = false;
  // Why an opened file is not taken, as the encoder would say it ("is neither a WAVE nor an AIFF
  // file", "has a sample rate of 22050 Hz (...)").
  std::string why;
};

// Reads the header of a WAVE or AIFF file.
ProbeResult ProbeFile(platform::FileSystem& files, const std::string& path);

}  // namespace tolvane::queue
