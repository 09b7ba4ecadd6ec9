#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "song_tag.h"

namespace tolvane::tags {

// An ID3v2.3 tag that holds the song tag whole: each text in UTF-16 with a byte order mark (the
// version and encoding that every player reads), the track and disc as "3/12", the front cover
// as an attached picture. No padding, no unsynchronisation.
std::string BuildId3v2(const SongTag& tag);

// The bytes an ID3v2 tag takes at the start of a file whose first bytes are `head` (its header
// and, when it has one, its footer); 0 when the file starts with none.
int64_t Id3v2Length(std::string_view head);
// The same for an open file, whose start it reads.
int64_t Id3v2Length(platform::File& file);

}  // namespace tolvane::tags
