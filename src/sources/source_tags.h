#pragma once

#include <optional>
#include <string>

#include "tags/song_tag.h"

namespace tolvane::sources {

// The tags a source file carries, read with TagLib: FLAC and Ogg Vorbis comments, Opus tags, a
// WAVE or AIFF file's ID3 chunk, a WAVE file's LIST-INFO; what those leave empty is taken from
// the sound library's reading of the file's own chunks (an AIFF file's NAME, AUTH and ANNO).
// nullopt when the file carries no tag.
std::optional<tags::SongTag> ReadSourceTags(const std::string& path);

}  // namespace tolvane::sources
