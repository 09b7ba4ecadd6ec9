#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tolvane::testing {

// The fields of an MPEG audio frame header.
struct FrameHeader {
  int version_bits = 0;  // 3: MPEG-1
  int layer_bits = 0;    // 1: Layer III
  bool crc = false;      // protection bit clear: a checksum follows the header
  int bitrate_kbps = 0;
  int sample_rate = 0;
  bool private_bit = false;
  int channel_mode = 0;  // 3: mono
  bool copyright = false;
  bool original = false;
};

// The headers of every frame of an MP3 file, walking frame by frame from its start or from the
// end of an ID3v2 tag there. Stops at the first bytes that are no frame header.
std::vector<FrameHeader> ReadFrameHeaders(const std::string& path);

// The decoded sound, 16-bit, interleaved.
struct DecodedSound {
  int sample_rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;

  int64_t Frames() const {
    return channels == 0 ? 0 : static_cast<int64_t>(samples.size()) / channels;
  }
  // The root mean square of one channel, 0 to 32768.
  double Level(int channel) const;
};
DecodedSound DecodeMp3(const std::string& path);

// An MP3's tags as a tag reader (TagLib) reads them back.
struct Mp3Tags {
  int id3v2_version = 0;  // 0: no ID3v2 tag
  // By id, as text; "APIC" as "image/png:<bytes>", a TXXX frame by "TXXX:" and its description.
  std::map<std::string, std::string> frames;
  bool texts_in_utf16 = true;  // every text frame is stored in UTF-16
  std::string v1_title;        // UTF-8; "" without an ID3v1 record
  int v1_genre = -1;
};
Mp3Tags ReadTags(const std::string& path);

// Gives a FLAC file Vorbis comments (name=value) and, when `png` is not empty, a front cover.
void TagFlac(const std::string& path, const std::map<std::string, std::string>& comments,
             const std::string& png);

// 16-bit little-endian stereo or mono samples of a 1 kHz sine, with the given amplitude
// (0 to 32767) on each channel.
std::vector<uint8_t> Tone(int64_t frames, int channels, int sample_rate, int left_amplitude,
                          int right_amplitude);

}  // namespace tolvane::testing
