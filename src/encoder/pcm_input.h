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
  // IEEE floating point (32 or 64 bits), full scale at 1.0.
  bool is_float = false;
  // Which speakers the channels feed, as WAVE_FORMAT_EXTENSIBLE gives it; 0 when unknown.
  uint32_t channel_mask = 0;
  int64_t data_offset = 0;
  // The sound data in the file, and what its header says they take (-1 when it does not know:
  // a streamed file's data reach to its end). A file that holds less than it declares was cut
  // short (copied in half, say).
  int64_t data_bytes = 0;
  int64_t declared_bytes = -1;

  int BytesPerFrame() const { return channels * (bits_per_sample / 8); }
  int64_t Frames() const { return BytesPerFrame() == 0 ? 0 : data_bytes / BytesPerFrame(); }
  int64_t DeclaredFrames() const {
    return BytesPerFrame() == 0 || declared_bytes < 0 ? Frames() : declared_bytes / BytesPerFrame();
  }
};

// Whether the file starts as a WAVE ("RIFF....WAVE") or AIFF/AIFF-C ("FORM....AIFF"/"AIFC") file.
bool IsWaveOrAiff(int fd, int64_t file_size);

// Reads the header of a WAVE or AIFF/AIFC file by walking its chunks: what it declares, which the
// sound library does not tell when the file was cut short. Returns the format, or a
// message saying why the file cannot be encoded. Taken: integer PCM of 8, 16, 24 or 32 bits and
// IEEE float of 32 or 64 bits (WAVE format 1 or 3, or WAVE_FORMAT_EXTENSIBLE of either; AIFF;
// AIFF-C "NONE", "twos", "sowt", "fl32", "fl64"), 1 to 8 channels, 8000 to 192000 Hz.
std::variant<PcmFormat, std::string> ReadPcmFormat(int fd, int64_t file_size);

// Why a sound of `channels` channels at `sample_rate` cannot be encoded, or "" when it can: one to
// eight channels, 8000 to 192000 Hz.
std::string CheckChannelsAndRate(int channels, int sample_rate);

// The MP3's sample rate for a sound at `sample_rate`: the same where an MP3 can hold it, else the
// next one up, and 44100 or 48000 Hz for high-resolution sound (the encoder resamples).
int Mp3SampleRate(int sample_rate);

}  // namespace tolvane::encoder
