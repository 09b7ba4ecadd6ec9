#pragma once

#include <algorithm>
#include <array>

namespace tolvane::platform {

// The bitrates (kbps) an MPEG-1 Layer III stream can have, and so every bitrate the program
// offers, stores and passes to an encoder.
inline constexpr std::array<int, 14> kMp3Bitrates = {32,  40,  48,  56,  64,  80,  96,
                                                     112, 128, 160, 192, 224, 256, 320};

// LAME's typical rate (kbps) at each VBR quality, 0 (best) to 9: what a variable-bitrate MP3 is
// expected to take, on music.
inline constexpr std::array<int, 10> kVbrTypicalKbps = {245, 225, 190, 175, 165,
                                                        130, 115, 100, 85,  65};

inline bool IsMp3Bitrate(int kbps) {
  return std::find(kMp3Bitrates.begin(), kMp3Bitrates.end(), kbps) != kMp3Bitrates.end();
}

}  // namespace tolvane::platform
