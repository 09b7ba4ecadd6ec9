#include "pcm_input.h"

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>

#include "platform/byte_order.h"

namespace tolvane::encoder {

namespace {

// A chunk size that no real file has: what programs write when they cannot go back to fill in
// the length (a pipe), so the data reach to the end of the file.
bool UnknownLength(uint32_t size) {
  return size >= 0x7FFF0000u;
}

constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveFloat = 3;
constexpr uint16_t kWaveExtensible = 0xFFFE;
constexpr int kMaxChannels = 8;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
constexpr uint32_t kSizeToEnd = 0xFFFFFFFF;

struct Reader {
  int fd;
  int64_t size;

  bool Read(int64_t offset, void* buffer, size_t count) const {
    if (offset < 0 || offset + static_cast<int64_t>(count) > size)
      return false;
    size_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, count - done,
                                static_cast<off_t>(offset + static_cast<int64_t>(done)));
      if (n <= 0)
        return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
};

double ExtendedToDouble(const uint8_t* b) {
  const int exponent = ((b[0] & 0x7F) << 8) | b[1];
  const uint64_t mantissa =
      (static_cast<uint64_t>(platform::BigEndian(b + 2, 4)) << 32) | platform::BigEndian(b + 6, 4);
  if (exponent == 0 && mantissa == 0)
    return 0;
  const double value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  return (b[0] & 0x80) != 0 ? -value : value;
}

std::string Check(const PcmFormat& f) {
  if (std::string problem = CheckChannelsAndRate(f.channels, f.sample_rate); !problem.empty())
    return problem;
  if (f.is_float && f.bits_per_sample != 32 && f.bits_per_sample != 64) {
    return "has " + std::to_string(f.bits_per_sample) +
           "-bit floating-point samples (32 and 64 bits are supported)";
  }
  if (!f.is_float && f.bits_per_sample != 8 && f.bits_per_sample != 16 && f.bits_per_sample != 24 &&
      f.bits_per_sample != 32) {
    return "has " + std::to_string(f.bits_per_sample) +
           "-bit samples (8, 16, 24 and 32 bits are supported)";
  }
  return {};
}

std::variant<PcmFormat, std::string> ReadWave(const Reader& in) {
  PcmFormat format;
  bool have_fmt = false;
  bool have_data = false;
  int64_t pos = 12;
  while (pos + 8 <= in.size && !(have_fmt && have_data)) {
    std::array<uint8_t, 8> head{};
    if (!in.Read(pos, head.data(), head.size()))
      break;
    const uint32_t size = platform::LittleEndian(head.data() + 4, 4);
    const int64_t body = pos + 8;
    if (std::memcmp(head.data(), "fmt ", 4) == 0) {
      std::array<uint8_t, 26> fmt{};
      if (size < 16 || !in.Read(body, fmt.data(), std::min<size_t>(size, fmt.size()))) {
        return std::string("has a damaged \"fmt \" chunk");
      }
      uint16_t tag = static_cast<uint16_t>(platform::LittleEndian(fmt.data(), 2));
      if (tag == kWaveExtensible && size >= 26) {
        format.channel_mask = platform::LittleEndian(fmt.data() + 20, 4);
        tag = static_cast<uint16_t>(platform::LittleEndian(fmt.data() + 24, 2));
      }
      if (tag != kWavePcm && tag != kWaveFloat) {
        return "holds format " + std::to_string(tag) + ", not PCM";
      }
      format.is_float = tag == kWaveFloat;
      format.channels = static_cast<int>(platform::LittleEndian(fmt.data() + 2, 2));
      format.sample_rate = static_cast<int>(platform::LittleEndian(fmt.data() + 4, 4));
      format.bits_per_sample = static_cast<int>(platform::LittleEndian(fmt.data() + 14, 2));
      format.unsigned_8bit = true;
      have_fmt = true;
    } else if (std::memcmp(head.data(), "data", 4) == 0) {
      format.data_offset = body;
      const int64_t rest = in.size - body;
      // A streamed file may not know its length; then the data reach to the end of the file.
      format.data_bytes = size == kSizeToEnd || size > rest ? rest : size;
      format.declared_bytes = UnknownLength(size) ? int64_t{-1} : int64_t{size};
      have_data = true;
    }
    if (size == kSizeToEnd)
      break;
    pos = body + size + (size & 1);
  }
  if (!have_fmt)
    return std::string("has no \"fmt \" chunk");
  if (!have_data)
    return std::string("has no \"data\" chunk");
  return format;
}

std::variant<PcmFormat, std::string> ReadAiff(const Reader& in, bool compressed_form) {
  PcmFormat format;
  format.big_endian = true;
  bool have_comm = false;
  bool have_sound = false;
  uint32_t frames = 0;
  int64_t pos = 12;
  while (pos + 8 <= in.size && !(have_comm && have_sound)) {
    std::array<uint8_t, 8> head{};
    if (!in.Read(pos, head.data(), head.size()))
      break;
    const uint32_t size = platform::BigEndian(head.data() + 4, 4);
    const int64_t body = pos + 8;
    if (std::memcmp(head.data(), "COMM", 4) == 0) {
      std::array<uint8_t, 22> comm{};
      const size_t wanted = compressed_form ? 22 : 18;
      if (size < wanted || !in.Read(body, comm.data(), wanted)) {
        return std::string("has a damaged \"COMM\" chunk");
      }
      format.channels = static_cast<int>(platform::BigEndian(comm.data(), 2));
      frames = platform::BigEndian(comm.data() + 2, 4);
      format.bits_per_sample = static_cast<int>(platform::BigEndian(comm.data() + 6, 2));
      const double rate = ExtendedToDouble(comm.data() + 8);
      format.sample_rate =
          std::isfinite(rate) && rate > 0 && rate < 1e9 ? static_cast<int>(std::lround(rate)) : 0;
      if (compressed_form) {
        const std::string type(reinterpret_cast<const char*>(comm.data() + 18), 4);
        if (type == "sowt") {
          format.big_endian = false;
        } else if (type == "fl32" || type == "FL32" || type == "fl64" || type == "FL64") {
          format.is_float = true;
        } else if (type != "NONE" && type != "twos") {
          return "is compressed (\"" + type + "\")";
        }
      }
      have_comm = true;
    } else if (std::memcmp(head.data(), "SSND", 4) == 0) {
      std::array<uint8_t, 8> ssnd{};
      if (size < 8 || !in.Read(body, ssnd.data(), ssnd.size())) {
        return std::string("has a damaged \"SSND\" chunk");
      }
      const uint32_t offset = platform::BigEndian(ssnd.data(), 4);
      format.data_offset = body + 8 + offset;
      const int64_t declared = static_cast<int64_t>(size) - 8 - offset;
      format.data_bytes = std::max<int64_t>(0, std::min(declared, in.size - format.data_offset));
      format.declared_bytes = UnknownLength(size) ? -1 : std::max<int64_t>(0, declared);
      have_sound = true;
    }
    pos = body + size + (size & 1);
  }
  if (!have_comm)
    return std::string("has no \"COMM\" chunk");
  if (!have_sound)
    return std::string("has no \"SSND\" chunk");
  const int64_t declared_bytes = static_cast<int64_t>(frames) * format.BytesPerFrame();
  if (declared_bytes > 0 && declared_bytes < format.data_bytes)
    format.data_bytes = declared_bytes;
  // The frame count is what the file says it holds.
  if (declared_bytes > 0 && format.declared_bytes >= 0)
    format.declared_bytes = declared_bytes;
  return format;
}

}  // namespace

std::string CheckChannelsAndRate(int channels, int sample_rate) {
  if (channels < 1 || channels > kMaxChannels)
    return "has " + std::to_string(channels) + " channels (one to eight are supported)";
  if (sample_rate < kLowestRate || sample_rate > kHighestRate) {
    return "has a sample rate of " + std::to_string(sample_rate) + " Hz (" +
           std::to_string(kLowestRate) + " to " + std::to_string(kHighestRate) +
           " Hz are supported)";
  }
  return {};
}

int Mp3SampleRate(int sample_rate) {
  // The rates of MPEG-1, MPEG-2 and MPEG-2.5 Layer III.
  static constexpr int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  for (const int rate : kRates) {
    if (rate >= sample_rate)
      return rate;
  }
  // High resolution: 88.2 and 176.4 kHz go to 44.1, the others to 48.
  return sample_rate % 11025 == 0 ? 44100 : 48000;
}

bool IsWaveOrAiff(int fd, int64_t file_size) {
  const Reader in{fd, file_size};
  std::array<uint8_t, 12> head{};
  return in.Read(0, head.data(), head.size()) && ((std::memcmp(head.data(), "RIFF", 4) == 0 &&
                                                   std::memcmp(head.data() + 8, "WAVE", 4) == 0) ||
                                                  (std::memcmp(head.data(), "FORM", 4) == 0 &&
                                                   (std::memcmp(head.data() + 8, "AIFF", 4) == 0 ||
                                                    std::memcmp(head.data() + 8, "AIFC", 4) == 0)));
}

std::variant<PcmFormat, std::string> ReadPcmFormat(int fd, int64_t file_size) {
  const Reader in{fd, file_size};
  std::array<uint8_t, 12> head{};
  if (!in.Read(0, head.data(), head.size()))
    return std::string("is too short for an audio file");
  std::variant<PcmFormat, std::string> result;
  if (std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WAVE", 4) == 0) {
    result = ReadWave(in);
  } else if (std::memcmp(head.data(), "FORM", 4) == 0 &&
             (std::memcmp(head.data() + 8, "AIFF", 4) == 0 ||
              std::memcmp(head.data() + 8, "AIFC", 4) == 0)) {
    result = ReadAiff(in, std::memcmp(head.data() + 8, "AIFC", 4) == 0);
  } else {
    return std::string("is neither a WAVE nor an AIFF file");
  }
  if (const auto* format = std::get_if<PcmFormat>(&result)) {
    if (std::string problem = Check(*format); !problem.empty())
      return problem;
  }
  return result;
}

}  // namespace tolvane::encoder
