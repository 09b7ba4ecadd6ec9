#include "source_tags.h"

#include <aifffile.h>
#include <attachedpictureframe.h>
#include <fileref.h>
#include <flacfile.h>
#include <flacpicture.h>
#include <id3v2tag.h>
#include <tpropertymap.h>
#include <wavfile.h>
#include <xiphcomment.h>

#include <charconv>
#include <variant>

#include "encoder/sound_reader.h"
#include "platform/latin1.h"

namespace tolvane::sources {

namespace {

// Larger pictures are left behind: an ID3v2 tag counts its size in 28 bits.
constexpr unsigned kMaxCoverBytes = 16u << 20;

std::string Utf8(const TagLib::String& text) {
  return text.to8Bit(true);
}

// The values of a property, joined; "" when there is none.
std::string Joined(const TagLib::PropertyMap& properties, const char* key) {
  const auto found = properties.find(key);
  if (found == properties.end())
    return "";
  return Utf8(found->second.toString("; "));
}

int LeadingNumber(const std::string& text) {
  int number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number > 0 ? number : 0;
}

// "3" or "3/12"; the total also from the properties the Xiph comments keep it in.
void ReadPosition(const TagLib::PropertyMap& properties, const char* key,
                  std::initializer_list<const char*> total_keys, int& number, int& total) {
  const std::string position = Joined(properties, key);
  number = LeadingNumber(position);
  if (const size_t slash = position.find('/'); slash != std::string::npos)
    total = LeadingNumber(position.substr(slash + 1));
  for (const char* total_key : total_keys) {
    if (total == 0)
      total = LeadingNumber(Joined(properties, total_key));
  }
}

std::optional<tags::CoverPicture> Cover(const std::string& mime, const TagLib::ByteVector& data) {
  if (data.isEmpty() || data.size() > kMaxCoverBytes)
    return std::nullopt;
  return tags::CoverPicture{mime, std::string(data.data(), data.size())};
}

// The front cover, or the first picture when none is marked so.
template <typename Picture, typename IsFront, typename Make>
std::optional<tags::CoverPicture> PickCover(const TagLib::List<Picture*>& pictures,
                                            IsFront is_front, Make make) {
  for (Picture* picture : pictures) {
    if (is_front(*picture))
      return make(*picture);
  }
  if (!pictures.isEmpty())
    return make(*pictures.front());
  return std::nullopt;
}

std::optional<tags::CoverPicture> FlacCover(const TagLib::List<TagLib::FLAC::Picture*>& list) {
  return PickCover(
      list,
      [](const TagLib::FLAC::Picture& p) { return p.type() == TagLib::FLAC::Picture::FrontCover; },
      [](const TagLib::FLAC::Picture& p) { return Cover(Utf8(p.mimeType()), p.data()); });
}

std::optional<tags::CoverPicture> Id3Cover(TagLib::ID3v2::Tag* tag) {
  if (tag == nullptr)
    return std::nullopt;
  TagLib::List<TagLib::ID3v2::AttachedPictureFrame*> pictures;
  for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
    if (auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame))
      pictures.append(picture);
  }
  using Frame = TagLib::ID3v2::AttachedPictureFrame;
  return PickCover(
      pictures, [](const Frame& p) { return p.type() == Frame::FrontCover; },
      [](const Frame& p) { return Cover(Utf8(p.mimeType()), p.picture()); });
}

std::optional<tags::CoverPicture> FindCover(TagLib::File* file) {
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file))
    return FlacCover(flac->pictureList());
  if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag()))
    return FlacCover(xiph->pictureList());
  if (auto* wave = dynamic_cast<TagLib::RIFF::WAV::File*>(file))
    return Id3Cover(wave->hasID3v2Tag() ? wave->ID3v2Tag() : nullptr);
  if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(file))
    return Id3Cover(aiff->hasID3v2Tag() ? aiff->tag() : nullptr);
  return std::nullopt;
}

// What the file's own chunks say, where the tag said nothing.
void FillFromChunks(const std::string& path, tags::SongTag& tag) {
  auto opened = encoder::SoundReader::OpenFile(path);
  const auto* sound = std::get_if<encoder::SoundReader>(&opened);
  if (sound == nullptr)
    return;
  const encoder::SoundTexts texts = sound->Texts();
  const std::pair<std::string*, const std::string*> fields[] = {{&tag.title, &texts.title},
                                                                {&tag.artist, &texts.artist},
                                                                {&tag.album, &texts.album},
                                                                {&tag.comment, &texts.comment},
                                                                {&tag.genre, &texts.genre}};
  for (const auto& [field, text] : fields) {
    if (field->empty())
      *field = platform::AsUtf8(*text);
  }
  if (tag.year.empty())
    tag.year = platform::AsUtf8(texts.date).substr(0, 4);
  if (tag.track == 0)
    tag.track = LeadingNumber(texts.track);
}

bool IsEmpty(const tags::SongTag& tag) {
  return tag.title.empty() && tag.artist.empty() && tag.album.empty() && tag.album_artist.empty() &&
         tag.year.empty() && tag.comment.empty() && tag.genre.empty() && tag.track == 0 &&
         tag.disc == 0 && !tag.cover && tag.replay_gain.empty();
}

}  // namespace

std::optional<tags::SongTag> ReadSourceTags(const std::string& path) {
  tags::SongTag tag;
  const TagLib::FileRef ref(path.c_str(), false);
  if (!ref.isNull() && ref.file()->isValid()) {
    const TagLib::PropertyMap properties = ref.file()->properties();
    tag.title = Joined(properties, "TITLE");
    tag.artist = Joined(properties, "ARTIST");
    tag.album = Joined(properties, "ALBUM");
    tag.album_artist = Joined(properties, "ALBUMARTIST");
    tag.year = Joined(properties, "DATE").substr(0, 4);
    tag.comment = Joined(properties, "COMMENT");
    if (tag.comment.empty())
      tag.comment = Joined(properties, "DESCRIPTION");
    tag.genre = Joined(properties, "GENRE");
    ReadPosition(properties, "TRACKNUMBER", {"TRACKTOTAL", "TOTALTRACKS"}, tag.track,
                 tag.track_total);
    ReadPosition(properties, "DISCNUMBER", {"DISCTOTAL", "TOTALDISCS"}, tag.disc, tag.disc_total);
    tag.cover = FindCover(ref.file());
    for (const char* key : tags::kReplayGainKeys) {
      if (std::string value = Joined(properties, key); !value.empty())
        tag.replay_gain[key] = std::move(value);
    }
  }
  FillFromChunks(path, tag);
  if (IsEmpty(tag))
    return std::nullopt;
  return tag;
}

}  // namespace tolvane::sources
