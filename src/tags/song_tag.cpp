#include "song_tag.h"

#include "genres.h"
#include "platform/latin1.h"

namespace tolvane::tags {

namespace {

std::string UpToZero(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

// Whether the record holds the text whole: ISO-8859-1, and no longer than its field.
bool FitsRecord(const std::string& text, size_t width) {
  return platform::FromLatin1(platform::ToLatin1(text)) == text &&
         platform::FirstCharacters(text, width) == text;
}

}  // namespace

SongTag SongTagOf(const queue::TagFields& fields) {
  SongTag tag;
  tag.title = UpToZero(fields.TagTitle);
  tag.artist = UpToZero(fields.TagArtist);
  tag.album = UpToZero(fields.TagAlbum);
  tag.year = UpToZero(fields.TagYear);
  tag.comment = UpToZero(fields.TagComment);
  const int number = GenreNumberOf(fields.TagGenre);
  if (number != kNoGenre)
    tag.genre = std::string(GenresByNumber()[static_cast<size_t>(number)]);
  return tag;
}

SongTag WithFields(SongTag tag, const queue::TagFields& fields) {
  const SongTag given = SongTagOf(fields);
  for (auto field : {&SongTag::title, &SongTag::artist, &SongTag::album, &SongTag::year,
                     &SongTag::comment, &SongTag::genre}) {
    if (!(given.*field).empty())
      tag.*field = given.*field;
  }
  return tag;
}

bool NeedsId3v2(const SongTag& tag) {
  using queue::kTagTextWidth;
  const bool record_holds_all =
      FitsRecord(tag.title, kTagTextWidth) && FitsRecord(tag.artist, kTagTextWidth) &&
      FitsRecord(tag.album, kTagTextWidth) && FitsRecord(tag.comment, kTagTextWidth) &&
      FitsRecord(tag.year, queue::kTagYearWidth) &&
      (tag.genre.empty() || GenreNumberNamed(tag.genre) != kNoGenre);
  return !record_holds_all || tag.track != 0 || tag.disc != 0 || !tag.album_artist.empty() ||
         tag.cover.has_value();
}

}  // namespace tolvane::tags
