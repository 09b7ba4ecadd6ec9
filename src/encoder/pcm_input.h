#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tolvane::encoder {

// How the samples of an input file are laid out.
struct PcmFormat {
  int channels = 0;
  int sample_rate = 0;
  int bits_per_sample = 0;
  bool big_endian = false;
  // 8-bit WAVE samples are unsigned; AIFF ones are signed.
  bool unsigned_8bit = false;
  int64_t data_offset = 0;
  int64_t data_bytes = 0;

  int BytesPerFrame() const { return channels * (bits_per_sample / 8); }
  int64_t Frames() const { return BytesPerFrame() == 0 ? 0 : data_bytes / BytesPerFrame(); }
};

// Reads the header of a WAVE or AIFF/AIFC file by walking its chunks. Returns the format, or a
// message saying why the file cannot be encoded (8-, 16- or 24-bit PCM, one or two channels,
// 32000, 44100 or 48000 Hz only).
std::variant<PcmFormat, std::string> ReadPcmFormat(int fd, int64_t file_size);

// Converts whole frames of raw sample bytes to full-scale 32-bit samples, interleaved.
void DecodeSamples(const PcmFormat& format, const uint8_t* bytes, int64_t frames,
                   std::vector<int32_t>& samples);

}  // namespace tolvane::encoder
