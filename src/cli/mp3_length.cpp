#include "mp3_length.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/byte_order.h"
#include "platform/mp3_bitrates.h"
#include "tags/id3v2_tag.h"

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
  int info_at = 0;  // where a Xing or Info frame has its tag: after the side information
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
  const bool crc = (b[1] & 1) == 0;
  const bool mono = (b[3] >> 6) == 3;
  const int side_information = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return {bytes, mpeg1 ? 1152 : 576, rate, 4 + (crc ? 2 : 0) + side_information};
}

// The length that a Xing or Info frame first in the stream gives (LAME writes one into every MP3
// it makes, this program's encoder too): its count of the frames after it, when its count of
// bytes is the whole stream, from `start` to an ID3v1 record at the end or to the end. Three
// reads; none for a file without such a frame, or one whose stream was cut or added to.
std::optional<Mp3Length> FromInfoFrame(platform::File& file, int64_t start, int64_t size) {
  uint8_t head[64] = {};
  if (file.ReadAt(start, head, sizeof head) != sizeof head)
    return std::nullopt;
  const Frame frame = ReadHeader({head[0], head[1], head[2], head[3]});
  if (frame.bytes == 0 || frame.info_at + 16 > static_cast<int>(sizeof head))
    return std::nullopt;
  const uint8_t* tag = head + frame.info_at;
  const std::string_view id(reinterpret_cast<const char*>(tag), 4);
  constexpr uint32_t kFramesAndBytes = 0x1 | 0x2;
  if ((id != "Xing" && id != "Info") ||
      (platform::BigEndian(tag + 4, 4) & kFramesAndBytes) != kFramesAndBytes)
    return std::nullopt;
  int64_t end = size;
  char record[3] = {};
  if (size - start >= 128 + frame.bytes && file.ReadAt(size - 128, record, 3) == 3 &&
      std::string_view(record, 3) == "TAG") {
    end -= 128;
  }
  if (start + int64_t{platform::BigEndian(tag + 12, 4)} != end)
    return std::nullopt;
  Mp3Length length;
  length.frame_seconds = static_cast<double>(frame.samples) / frame.rate;
  length.seconds = platform::BigEndian(tag + 8, 4) * length.frame_seconds;
  return length;
}

}  // namespace

Mp3Length MeasureMp3(platform::FileSystem& files, const std::string& path) {
  Mp3Length length;
  const auto file = files.Open(path, platform::OpenMode::Read);
  if (file == nullptr)
    return length;
  const int64_t size = file->Size();
  const int64_t start = tags::Id3v2Length(*file);
  if (const std::optional<Mp3Length> told = FromInfoFrame(*file, start, size))
    return *told;
  // Another program's MP3, or one cut short: its frames are walked.
  int64_t samples = 0;
  int rate = 0;
  for (int64_t at = start; at + 4 <= size;) {
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
