#pragma once

#include <map>
#include <optional>
#include <string>

#include "queue/file_data.h"

namespace tolvane::tags {

// A picture carried in a tag: its MIME type ("image/jpeg") and its bytes.
struct CoverPicture {
  std::string mime;
  std::string data;
};

// Everything an MP3's tags say of a song, texts in UTF-8 and whole. The ID3v1 record holds what
// fits its fields; the rest calls for an ID3v2 tag beside it.
struct SongTag {
  std::string title;
  std::string artist;
  std::string album;
  std::string album_artist;
  std::string year;
  std::string comment;
  std::string genre;  // a name: an ID3v1 genre's or any other
  int track = 0;      // 0 for none
  int track_total = 0;
  int disc = 0;
  int disc_total = 0;
  std::optional<CoverPicture> cover;  // the front cover
  // ReplayGain as the source has it ("-7.25 dB", "0.988553"), by the keys players read (below).
  std::map<std::string, std::string> replay_gain;
};

// The ReplayGain keys: the source's comments or TXXX descriptions, and the MP3's TXXX frames.
inline constexpr const char* kReplayGainKeys[] = {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                                  "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK"};

// An entry's tag fields as a song tag; the texts end at a zero byte, as the record's do.
SongTag SongTagOf(const queue::TagFields& fields);

// The entry's fields that a song tag fills: its texts cut to the fields' widths, its genre when
// it is an ID3v1 genre; HasTag on.
queue::TagFields FieldsOf(const SongTag& tag);

// The tag with the fields the user filled in (texts that are not empty, a genre chosen) in place
// of its own; a field that holds just the start of the tag's own text leaves it whole.
SongTag WithFields(SongTag tag, const queue::TagFields& fields);

// Whether the ID3v1 record loses anything of the tag: a text outside ISO-8859-1 or longer than
// its field, a genre that is no ID3v1 genre, a track or disc number, an album artist, a picture,
// ReplayGain.
bool NeedsId3v2(const SongTag& tag);

}  // namespace tolvane::tags
