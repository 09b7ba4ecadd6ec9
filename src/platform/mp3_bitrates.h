#pragma once

#include <algorithm>
#include <array>

namespace tolvane::platform {

// The bitrates (kbps) an MPEG-1 Layer III stream can have, and so every bitrate the program
// offers, stores and passes to an encoder.
inline constexpr std::array<int, 14> kMp3Bitrates = {32,  40,  48,  56,  64,  80,  96,
                                                     112, 128, 160, 192, 224, 256, 320};

inline bool IsMp3Bitrate(int kbps) {
  return std::find(kMp3Bitrates.begin(), kMp3Bitrates.end(), kbps) != kMp3Bitrates.end();
}

}  // namespace tolvane::platform
