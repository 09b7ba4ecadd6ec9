#pragma once

#include <array>
#include <string>

namespace tolvane::queue {

// The program's table of 13 names: priorities 0 to 5, stereo modes at 6 + mode, estimate modes
// at 11 + mode. Button captions and the encoder's -PRIO= switch use them.
inline constexpr std::array<const char*, 13> kNames = {
    "Idle",    "Lowest", "Lower", "Normal", "Higher", "Highest",  // priority
    "Stereo",  "Swap",   "Mono",  "Left",   "Right",              // stereo mode
    "current", "batch"};                                          // estimate mode

inline constexpr int kStereoNamesAt = 6;
inline constexpr int kEstimateNamesAt = 11;

// The name at `index`, or "" outside the table.
inline std::string NameAt(int index) {
  return index >= 0 && index < static_cast<int>(kNames.size()) ? kNames[index] : "";
}
inline std::string PriorityName(int priority) {
  return priority >= 0 && priority <= 5 ? NameAt(priority) : "";
}
inline std::string StereoName(int mode) {
  return mode >= 0 && mode <= 4 ? NameAt(kStereoNamesAt + mode) : "";
}
inline std::string EstimateName(int mode) {
  return mode >= 0 && mode <= 1 ? NameAt(kEstimateNamesAt + mode) : "";
}

}  // namespace tolvane::queue
