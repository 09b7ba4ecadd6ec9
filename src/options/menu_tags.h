#pragma once

#include <vector>

namespace tolvane::options {

// The tags of the option menus' items: the thousands name the menu, what is above them the value.
namespace menu_tag {
inline constexpr int kBitrate = 2000;     // + kbps
inline constexpr int kPriority = 3000;    // + 0 idle to 5 highest
inline constexpr int kHeaderBits = 4001;  // + the item's place in its menu
inline constexpr int kEstimate = 5001;    // + 0 the file's, 1 the batch's
inline constexpr int kTree = 6001;        // + the depth, 0 to 3
inline constexpr int kStereo = 7001;      // + 0 stereo, 1 swap, 2 mono, 3 left, 4 right
inline constexpr int kRecent = 8000;      // + the folder's place in the list

// The menu a tag belongs to: its thousands.
constexpr int MenuOf(int tag) {
  return tag / 1000;
}

// The tags of `count` items in a row, from `first` on.
inline std::vector<int> InARow(int first, int count) {
  std::vector<int> tags;
  for (int i = 0; i < count; ++i)
    tags.push_back(first + i);
  return tags;
}
}  // namespace menu_tag

}  // namespace tolvane::options
