#pragma once

#include <array>
#include <cstdint>

#include "platform/file_system.h"
#include "queue/file_data.h"

namespace tolvane::options {

inline constexpr int kTagSize = 128;

// The 128-byte ID3v1 record of an entry: "TAG", title, artist, album (30 bytes each), year (4),
// comment (30), genre number; texts in ISO-8859-1 ("?" for a character outside it), cut to
// their field and padded with zero bytes.
std::array<uint8_t, kTagSize> BuildTag(const queue::TFileData& entry);

// Appends the entry's tag to its MP3 at OutputPath, replacing a tag already there. Does nothing
// for a null entry or a file that cannot be opened.
// False when the MP3 could not be opened or the tag not written.
bool WriteTag(platform::FileSystem& files, const queue::TFileData* entry);

// Cuts a tag off the end of the entry's MP3: the last 128 bytes when they begin with "TAG".
void StripTag(platform::FileSystem& files, const queue::TFileData* entry);

}  // namespace tolvane::options
