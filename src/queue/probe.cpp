#include "probe.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "platform/byte_order.h"
#include "platform/number_text.h"

namespace tolvane::queue {

using platform::BigEndian;
using platform::LittleEndian;
using platform::RoundHalfEven;

namespace {

constexpr uint16_t kMpegLayer3FormatTag = 85;

// The chunks the probe walks lie in the first few kilobytes of every ordinary file: one read
// covers them, and only a chunk beyond them opens the file again.
constexpr int64_t kHeadBytes = 4096;

// A file's bytes by offset: from its head, or, beyond it, from the file itself.
class HeaderReader final {
 public:
  HeaderReader(platform::FileSystem& files, std::string path, platform::FileHead head)
      : files_(files), path_(std::move(path)), head_(std::move(head)) {}

  int64_t Size() const { return head_.size; }

  // Reads `N` bytes at `offset`; bytes beyond the end of the file read as zero.
  template <size_t N>
  std::array<uint8_t, N> Read(int64_t offset) {
    std::array<uint8_t, N> bytes{};
    const auto held = static_cast<int64_t>(head_.bytes.size());
    if (offset < 0)
      return bytes;
    if (offset + static_cast<int64_t>(N) <= held) {
      std::memcpy(bytes.data(), head_.bytes.data() + offset, N);
    } else if (held < head_.size && offset < head_.size && Rest() != nullptr) {
      (void)rest_->ReadAt(offset, bytes.data(), N);  // what it cannot read stays zero
    } else if (offset < held) {
      std::memcpy(bytes.data(), head_.bytes.data() + offset, static_cast<size_t>(held - offset));
    }
    return bytes;
  }

 private:
  platform::File* Rest() {
    if (rest_ == nullptr)
      rest_ = files_.Open(path_, platform::OpenMode::Read);
    return rest_.get();
  }

  platform::FileSystem& files_;
  std::string path_;
  platform::FileHead head_;
  std::unique_ptr<platform::File> rest_;
};

// The offset of the body of the first chunk called `id`, walking the chunks from offset 12:
// each an id, a size (little-endian in WAVE, big-endian in AIFF) and the body, padded to an even
// length. -1 when the file ends first.
int64_t FindChunk(HeaderReader& file, int64_t file_size, const char* id, bool big_endian) {
  for (int64_t at = 12; at + 8 <= file_size;) {
    const auto head = file.Read<8>(at);
    const int64_t size =
        big_endian ? BigEndian(head.data() + 4, 4) : LittleEndian(head.data() + 4, 4);
    if (std::memcmp(head.data(), id, 4) == 0)
      return at + 8;
    at += 8 + size + (size & 1);
  }
  return -1;
}

bool IsSupportedRate(int64_t rate) {
  return rate == 32000 || rate == 44100 || rate == 48000;
}

}  // namespace

int64_t ExtendedToInt(const std::array<uint8_t, 10>& b) {
  if (std::all_of(b.begin(), b.end(), [](uint8_t byte) { return byte == 0; }))
    return 0;
  const bool negative = (b[0] & 0x80) != 0;
  const int exponent = (b[0] & 0x7F) * 256 + b[1];
  if (exponent == 0x7FFF)
    return 0;
  const uint32_t high = BigEndian(b.data() + 2, 4);
  const uint32_t low = BigEndian(b.data() + 6, 4);
  double value = std::ldexp(static_cast<double>(high), exponent - 16383 - 31) +
                 std::ldexp(static_cast<double>(low), exponent - 16383 - 63);
  if (negative)
    value = -value;
  // A rate beyond the integer range is no rate the encoder takes.
  if (!(std::fabs(value) < 9.0e18))
    return 0;
  return RoundHalfEven(value);
}

int64_t RequiredSizeFor(int64_t file_size, int64_t input_bits_per_second, int32_t bitrate_kbps) {
  if (input_bits_per_second <= 0)
    return 0;
  return RoundHalfEven(static_cast<double>(file_size) / static_cast<double>(input_bits_per_second) *
                       (static_cast<double>(bitrate_kbps) * 1000.0));
}

ProbeResult ProbeFile(platform::FileSystem& files, const std::string& path) {
  ProbeResult result;
  std::optional<platform::FileHead> head = files.ReadHead(path, kHeadBytes);
  if (!head)
    return result;
  result.opened = true;
  const auto refuse = [&result](std::string why) {
    result.why = std::move(why);
    return result;
  };
  HeaderReader file(files, path, std::move(*head));

  AudioHeader header;
  header.file_size = file.Size();
  const auto riff = file.Read<4>(0);
  const auto form = file.Read<4>(8);
  std::string signature(riff.begin(), riff.end());
  signature.append(form.begin(), form.end());

  uint32_t channels = 0;
  uint32_t bits = 0;
  int64_t rate = 0;
  result.wave_or_aiff = signature == "RIFFWAVE" || signature == "FORMAIFF";
  if (signature == "RIFFWAVE") {
    // Other chunks (LIST, JUNK, bext, fact) may stand before "fmt ".
    const int64_t fmt = FindChunk(file, header.file_size, "fmt ", false);
    if (fmt < 0)
      return refuse("has no \"fmt \" chunk");
    const auto fields = file.Read<16>(fmt);
    if (LittleEndian(fields.data(), 2) == kMpegLayer3FormatTag)
      return refuse("holds MP3 sound already");
    channels = LittleEndian(fields.data() + 2, 2);
    rate = LittleEndian(fields.data() + 4, 4);
    bits = LittleEndian(fields.data() + 14, 2);
  } else if (signature == "FORMAIFF") {
    const int64_t comm = FindChunk(file, header.file_size, "COMM", true);
    if (comm < 0)
      return refuse("has no \"COMM\" chunk");
    const auto fields = file.Read<18>(comm);
    channels = BigEndian(fields.data(), 2);
    bits = BigEndian(fields.data() + 6, 2);
    std::array<uint8_t, 10> extended{};
    std::copy(fields.begin() + 8, fields.end(), extended.begin());
    rate = ExtendedToInt(extended);
  } else {
    return refuse("is neither a WAVE nor an AIFF file");
  }

  // The input's bit rate must be a positive 32-bit number.
  const int64_t rate_for_product =
      rate > 0 && rate <= std::numeric_limits<int32_t>::max() ? rate : 0;
  const uint64_t bps =
      static_cast<uint64_t>(channels) * bits * static_cast<uint64_t>(rate_for_product);
  if (bps == 0 || bps > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    return refuse("has a damaged header (" + std::to_string(channels) + " channels of " +
                  std::to_string(bits) + " bits at " + std::to_string(rate) + " Hz)");
  }
  if (!IsSupportedRate(rate)) {
    return refuse("has a sample rate of " + std::to_string(rate) +
                  " Hz (32000, 44100 and 48000 Hz are supported)");
  }

  header.channels = static_cast<int32_t>(channels);
  header.bits_per_sample = static_cast<int32_t>(bits);
  header.sample_rate = static_cast<int32_t>(rate);
  result.header = header;
  return result;
}

}  // namespace tolvane::queue
