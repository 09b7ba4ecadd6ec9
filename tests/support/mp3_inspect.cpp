#include "mp3_inspect.h"

#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <flacfile.h>
#include <id3v1genres.h>
#include <id3v1tag.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpg123.h>
#include <textidentificationframe.h>
#include <xiphcomment.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tolvane::testing {

namespace {

constexpr int kBitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kRates[4] = {44100, 48000, 32000, 0};

}  // namespace

std::vector<FrameHeader> ReadFrameHeaders(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  std::vector<FrameHeader> headers;
  size_t pos = 0;
  if (bytes.size() >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
    for (size_t i = 6; i < 10; ++i)  // an ID3v2 tag's size, seven bits a byte
      pos = (pos << 7) | bytes[i];
    pos += 10;
  }
  while (pos + 4 <= bytes.size()) {
    const uint8_t* b = bytes.data() + pos;
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
      break;
    FrameHeader h;
    h.version_bits = (b[1] >> 3) & 3;
    h.layer_bits = (b[1] >> 1) & 3;
    h.crc = (b[1] & 1) == 0;
    h.bitrate_kbps = kBitrates[b[2] >> 4];
    h.sample_rate = kRates[(b[2] >> 2) & 3];
    const int padding = (b[2] >> 1) & 1;
    h.private_bit = (b[2] & 1) != 0;
    h.channel_mode = b[3] >> 6;
    h.copyright = ((b[3] >> 3) & 1) != 0;
    h.original = ((b[3] >> 2) & 1) != 0;
    if (h.bitrate_kbps == 0 || h.sample_rate == 0)
      break;
    headers.push_back(h);
    pos += static_cast<size_t>(144000 * h.bitrate_kbps / h.sample_rate + padding);
  }
  return headers;
}

double DecodedSound::Level(int channel) const {
  if (Frames() == 0)
    return 0;
  double sum = 0;
  for (int64_t i = 0; i < Frames(); ++i) {
    const double s = samples[static_cast<size_t>(i * channels + channel)];
    sum += s * s;
  }
  return std::sqrt(sum / static_cast<double>(Frames()));
}

DecodedSound DecodeMp3(const std::string& path) {
  DecodedSound sound;
  int error = 0;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (handle == nullptr)
    throw std::runtime_error("mpg123_new failed");
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  if (mpg123_open(handle, path.c_str()) != MPG123_OK) {
    mpg123_delete(handle);
    throw std::runtime_error("cannot open " + path);
  }
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  mpg123_getformat(handle, &rate, &channels, &encoding);
  mpg123_format_none(handle);
  mpg123_format(handle, rate, channels, MPG123_ENC_SIGNED_16);
  sound.sample_rate = static_cast<int>(rate);
  sound.channels = channels;
  std::vector<unsigned char> buffer(65536);
  for (;;) {
    size_t done = 0;
    const int result = mpg123_read(handle, buffer.data(), buffer.size(), &done);
    const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
    sound.samples.insert(sound.samples.end(), samples, samples + done / 2);
    if (result == MPG123_NEW_FORMAT)
      continue;
    if (result != MPG123_OK)
      break;
  }
  mpg123_close(handle);
  mpg123_delete(handle);
  return sound;
}

std::vector<uint8_t> Tone(int64_t frames, int channels, int sample_rate, int left_amplitude,
                          int right_amplitude) {
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(frames * channels * 2));
  for (int64_t i = 0; i < frames; ++i) {
    const double phase = 2.0 * M_PI * 1000.0 * static_cast<double>(i) / sample_rate;
    for (int c = 0; c < channels; ++c) {
      const int amplitude = c == 0 ? left_amplitude : right_amplitude;
      const auto value = static_cast<int16_t>(std::lround(amplitude * std::sin(phase)));
      bytes.push_back(static_cast<uint8_t>(value & 0xFF));
      bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
  }
  return bytes;
}

Mp3Tags ReadTags(const std::string& path) {
  Mp3Tags tags;
  TagLib::MPEG::File file(path.c_str(), false);
  if (TagLib::ID3v2::Tag* v2 = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr) {
    tags.id3v2_version = static_cast<int>(v2->header()->majorVersion());
    for (TagLib::ID3v2::Frame* frame : v2->frameList()) {
      const std::string id(frame->frameID().data(), 4);
      if (auto* user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame)) {
        const TagLib::StringList fields = user->fieldList();
        tags.frames[id + ":" + user->description().to8Bit(true)] =
            fields.size() > 1 ? fields[1].to8Bit(true) : "";
        continue;
      }
      if (auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(frame))
        tags.texts_in_utf16 = tags.texts_in_utf16 && text->textEncoding() == TagLib::String::UTF16;
      if (auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
        const TagLib::ByteVector data = picture->picture();
        tags.frames[id] =
            picture->mimeType().to8Bit(true) + ":" + std::string(data.data(), data.size());
      } else {
        tags.frames[id] = frame->toString().to8Bit(true);
      }
    }
  }
  if (TagLib::ID3v1::Tag* v1 = file.hasID3v1Tag() ? file.ID3v1Tag() : nullptr) {
    tags.v1_title = v1->title().to8Bit(true);
    tags.v1_genre = static_cast<int>(v1->genreNumber());
  }
  return tags;
}

void TagFlac(const std::string& path, const std::map<std::string, std::string>& comments,
             const std::string& png) {
  TagLib::FLAC::File file(path.c_str(), false);
  for (const auto& [name, value] : comments)
    file.xiphComment(true)->addField(name, TagLib::String(value, TagLib::String::UTF8));
  if (!png.empty()) {
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType("image/png");
    picture->setData(TagLib::ByteVector(png.data(), static_cast<unsigned>(png.size())));
    file.addPicture(picture);
  }
  if (!file.save())
    throw std::runtime_error("the FLAC file's tags could not be written: " + path);
}

}  // namespace tolvane::testing
