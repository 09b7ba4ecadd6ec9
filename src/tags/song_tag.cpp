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

queue::TagFields FieldsOf(const SongTag& tag) {
  using platform::FirstCharacters;
  queue::TagFields fields;
  fields.HasTag = true;
  fields.TagTitle = FirstCharacters(tag.title, queue::kTagTextWidth);
  fields.TagArtist = FirstCharacters(tag.artist, queue::kTagTextWidth);
  fields.TagAlbum = FirstCharacters(tag.album, queue::kTagTextWidth);
  fields.TagComment = FirstCharacters(tag.comment, queue::kTagTextWidth);
  fields.TagYear = FirstCharacters(tag.year, queue::kTagYearWidth);
  fields.TagGenre = tag.genre.empty() ? -1 : SortedIndexOf(tag.genre);
  return fields;
}

SongTag WithFields(SongTag tag, const queue::TagFields& fields) {
  const SongTag given = SongTagOf(fields);
  const std::pair<std::string SongTag::*, size_t> texts[] = {
      {&SongTag::title, queue::kTagTextWidth},   {&SongTag::artist, queue::kTagTextWidth},
      {&SongTag::album, queue::kTagTextWidth},   {&SongTag::year, queue::kTagYearWidth},
      {&SongTag::comment, queue::kTagTextWidth}, {&SongTag::genre, std::string::npos}};
  for (const auto& [field, width] : texts) {
    const std::string& text = given.*field;
    // A field that still holds the start of the tag's own text (as FieldsOf cut it) keeps the
    // whole text.
    if (!text.empty() && text != platform::FirstCharacters(tag.*field, width))
      tag.*field = text;
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
         tag.cover.has_value() || !tag.replay_gain.empty();
}

}  // namespace tolvane::tags
