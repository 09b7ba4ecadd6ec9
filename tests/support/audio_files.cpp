#include "audio_files.h"

#include "child_process.h"
#include "mp3_inspect.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tolvane::testing {

namespace {

void PutLittle(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutBig(std::string& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutChunk(std::string& out, const std::string& id, const std::vector<uint8_t>& payload,
              bool big_endian) {
  out += id;
  if (big_endian) {
    PutBig(out, payload.size(), 4);
  } else {
    PutLittle(out, payload.size(), 4);
  }
  out.append(payload.begin(), payload.end());
  if (payload.size() % 2 == 1)
    out += '\0';
}

// Writes `header`, then `body` bytes (zero unless given), growing the file sparsely.
void WriteFile(const std::string& path, const std::string& header, int64_t body_size,
               const std::vector<uint8_t>& body) {
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
      throw std::runtime_error("cannot write " + path);
    file.write(header.data(), static_cast<std::streamsize>(header.size()));
    file.write(reinterpret_cast<const char*>(body.data()),
               static_cast<std::streamsize>(body.size()));
  }
  const int64_t total = static_cast<int64_t>(header.size()) + body_size;
  if (static_cast<int64_t>(body.size()) < body_size)
    std::filesystem::resize_file(path, total);
}

}  // namespace

std::vector<uint8_t> Extended(uint32_t rate) {
  std::vector<uint8_t> bytes(10, 0);
  if (rate == 0)
    return bytes;
  int exponent = 31;
  uint64_t mantissa = rate;
  while ((mantissa & 0x80000000u) == 0) {
    mantissa <<= 1;
    --exponent;
  }
  const int biased = exponent + 16383;
  bytes[0] = static_cast<uint8_t>(biased >> 8);
  bytes[1] = static_cast<uint8_t>(biased & 0xFF);
  for (int i = 0; i < 4; ++i)
    bytes[2 + i] = static_cast<uint8_t>(mantissa >> (24 - 8 * i));
  return bytes;
}

void WriteWave(const std::string& path, const WaveLayout& layout) {
  const int64_t data_bytes =
      layout.samples.empty() ? layout.data_bytes : static_cast<int64_t>(layout.samples.size());
  std::string chunks;
  for (const auto& [id, payload] : layout.chunks_before_fmt)
    PutChunk(chunks, id, payload, false);
  std::string fmt;
  PutLittle(fmt, layout.format_tag, 2);
  PutLittle(fmt, layout.channels, 2);
  PutLittle(fmt, layout.sample_rate, 4);
  const uint32_t block_align = layout.channels * layout.bits_per_sample / 8;
  PutLittle(fmt, layout.sample_rate * block_align, 4);
  PutLittle(fmt, block_align, 2);
  PutLittle(fmt, layout.bits_per_sample, 2);
  PutChunk(chunks, "fmt ", std::vector<uint8_t>(fmt.begin(), fmt.end()), false);

  std::string header = "RIFF";
  PutLittle(header, static_cast<uint64_t>(4 + chunks.size() + 8 + data_bytes), 4);
  header += "WAVE" + chunks + "data";
  PutLittle(header, static_cast<uint64_t>(data_bytes), 4);
  WriteFile(path, header, data_bytes, layout.samples);
}

void WriteAiff(const std::string& path, const AiffLayout& layout) {
  std::string chunks;
  for (const auto& [id, payload] : layout.chunks_before_comm)
    PutChunk(chunks, id, payload, true);
  std::string comm;
  PutBig(comm, layout.channels, 2);
  PutBig(comm, layout.frames, 4);
  PutBig(comm, layout.bits_per_sample, 2);
  const std::vector<uint8_t> rate = Extended(layout.sample_rate);
  comm.append(rate.begin(), rate.end());
  PutChunk(chunks, "COMM", std::vector<uint8_t>(comm.begin(), comm.end()), true);
  const int64_t sound =
      static_cast<int64_t>(layout.frames) * layout.channels * layout.bits_per_sample / 8;
  std::string ssnd_head;
  PutBig(ssnd_head, 0, 4);  // offset
  PutBig(ssnd_head, 0, 4);  // block size
  std::string header = "FORM";
  PutBig(header, static_cast<uint64_t>(4 + chunks.size() + 8 + 8 + sound), 4);
  header += layout.form_type + chunks + "SSND";
  PutBig(header, static_cast<uint64_t>(8 + sound), 4);
  header += ssnd_head;
  WriteFile(path, header, sound, {});
}

std::string Int32Bytes(int32_t value) {
  std::string out;
  PutLittle(out, static_cast<uint32_t>(value), 4);
  return out;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool WriteEncoded(const std::string& path, const std::string& codec, int rate, int64_t frames,
                  const std::map<std::string, std::string>& metadata) {
  const std::string wave = path + ".wav";
  WaveLayout tone;
  tone.sample_rate = static_cast<uint32_t>(rate);
  tone.samples = Tone(frames, 2, rate, 8000, 8000);
  WriteWave(wave, tone);
  const std::map<std::string, std::string> containers = {
      {"libvorbis", "ogg"}, {"libopus", "opus"}, {"pcm_s16le", "wav"}, {"pcm_s16be", "aiff"}};
  const auto container = containers.find(codec);
  std::vector<std::string> arguments = {"-loglevel", "error", "-y", "-i", wave, "-c:a", codec};
  for (const auto& [key, value] : metadata)
    arguments.insert(arguments.end(), {"-metadata", key + "=" + value});
  arguments.insert(arguments.end(),
                   {"-f", container == containers.end() ? codec : container->second, path});
  ChildProcess ffmpeg("/usr/bin/ffmpeg", arguments);
  const bool made = ffmpeg.WaitFor(std::chrono::seconds(60)) == 0;
  std::filesystem::remove(wave);
  return made;
}

}  // namespace tolvane::testing
