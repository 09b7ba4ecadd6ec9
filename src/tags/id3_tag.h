#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "queue/file_data.h"
#include "song_tag.h"

namespace tolvane::tags {

inline constexpr int kTagSize = 128;

// The 128-byte ID3v1 record of a tag: "TAG", title, artist, album (30 bytes each), year (4),
// comment (30), genre number; texts in ISO-8859-1 ("?" for a character outside it), cut to
// their field and padded with zero bytes.
std::array<uint8_t, kTagSize> BuildTag(const SongTag& tag);
std::array<uint8_t, kTagSize> BuildTag(const queue::TFileData& entry);

// Gives the MP3 at `path` the tag: the ID3v1 record at its end and, when the record cannot hold
// the tag whole, an ID3v2 tag at its start; tags already there are replaced, and no tag removes
// them. A file whose start changes is written anew beside it and renamed over it, so that a
// failure leaves it as it was. False when the MP3 could not be opened or the tag not written.
bool PutTags(platform::FileSystem& files, const std::string& path,
             const std::optional<SongTag>& tag);

// Gives the entry's MP3 at OutputPath the entry's tag. False for a null entry.
bool WriteTag(platform::FileSystem& files, const queue::TFileData* entry);

// Takes the tags off the entry's MP3.
void StripTag(platform::FileSystem& files, const queue::TFileData* entry);

}  // namespace tolvane::tags
