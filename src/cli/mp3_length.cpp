#include "mp3_length.h"

#include <cstdint>

#include "tags/id3v2_tag.h"
#include "platform/mp3_bitrates.h"

namespace tolvane::cli {

namespace {

constexpr int kMpeg1 = 3;
constexpr int kLayer3 = 1;
// Layer III bitrates in kbps by index for MPEG-2 and 2.5; MPEG-1's are the program's own list
// from index 1 on.
constexpr int kMpeg2Kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kMpeg1Rates[4] = {44100, 48000, 32000, 0};

struct Frame {
  int64_t bytes = 0;  // 0: no frame header
  int samples = 0;
  int rate = 0;
};

Frame ReadHeader(const uint8_t (&b)[4]) {
  const int version = (b[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  const int layer = (b[1] >> 1) & 3;
  const int bitrate_index = b[2] >> 4;
  const int rate_index = (b[2] >> 2) & 3;
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0 || version == 1 || layer != kLayer3 ||
      rate_index == 3) {
    return {};
  }
  const bool mpeg1 = version == kMpeg1;
  const bool listed = bitrate_index >= 1 && bitrate_index <= 14;
  const int kbps = !listed ? 0
                   : mpeg1 ? platform::kMp3Bitrates[static_cast<size_t>(bitrate_index - 1)]
                           : kMpeg2Kbps[bitrate_index];
  const int rate = kMpeg1Rates[rate_index] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
  if (kbps == 0)
    return {};
  const int padding = (b[2] >> 1) & 1;
  const int64_t bytes = (mpeg1 ? 144000 : 72000) * int64_t{kbps} / rate + padding;
  return {bytes, mpeg1 ? 1152 : 576, rate};
}

}  // namespace

Mp3Length MeasureMp3(platform::FileSystem& files, const std::string& path) {
  Mp3Length length;
  const auto file = files.Open(path, platform::OpenMode::Read);
  if (file == nullptr)
    return length;
  const int64_t size = file->Size();
  int64_t samples = 0;
  int rate = 0;
  for (int64_t at = tags::Id3v2Length(*file); at + 4 <= size;) {
    uint8_t bytes[4] = {};
    const Frame frame = file->ReadAt(at, bytes, 4) == 4 ? ReadHeader(bytes) : Frame{};
    if (frame.bytes == 0 || at + frame.bytes > size || (rate != 0 && frame.rate != rate))
      break;
    rate = frame.rate;
    samples += frame.samples;
    length.frame_seconds = static_cast<double>(frame.samples) / rate;
    at += frame.bytes;
  }
  if (rate != 0)
    length.seconds = static_cast<double>(samples) / rate;
  return length;
}

}  // namespace tolvane::cli
