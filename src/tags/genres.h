#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace tolvane::tags {

inline constexpr int kGenreCount = 148;
inline constexpr int kNoGenre = 255;

// The ID3v1 genre names by number (0 "Blues" to 147 "Synthpop").
const std::array<std::string_view, kGenreCount>& GenresByNumber();

// The names as the tag dialog's box lists them: sorted without regard to case, stably. An entry's
// TagGenre is a position in this list.
const std::vector<std::string_view>& SortedGenres();

// The genre number for a position in the sorted list; 255 (no genre) outside it.
int GenreNumberOf(int sorted_index);
// The number of a genre named in any case; 255 (no genre) for a name that is none.
int GenreNumberNamed(std::string_view name);
// The position of a name in the sorted list, or -1.
int SortedIndexOf(std::string_view name);

}  // namespace tolvane::tags
