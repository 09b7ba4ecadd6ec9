#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tolvane::testing {

// A canonical WAVE file: "RIFF", "WAVE", a 16-byte "fmt " chunk, then "data". Chunks given in
// `chunks_before_fmt` (id and payload) come between "WAVE" and "fmt ". The sound is silence
// unless `samples` is given; `data_bytes` is the size of the data chunk.
struct WaveLayout {
  uint16_t format_tag = 1;
  uint16_t channels = 2;
  uint32_t sample_rate = 44100;
  uint16_t bits_per_sample = 16;
  int64_t data_bytes = 0;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks_before_fmt;
  std::vector<uint8_t> samples;
};
void WriteWave(const std::string& path, const WaveLayout& layout);

// An AIFF file: "FORM", "AIFF", optional chunks, "COMM" and "SSND".
struct AiffLayout {
  uint16_t channels = 2;
  uint32_t sample_rate = 44100;
  uint16_t bits_per_sample = 16;
  uint32_t frames = 0;
  std::string form_type = "AIFF";
  std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks_before_comm;
};
void WriteAiff(const std::string& path, const AiffLayout& layout);

// A stereo tone of `frames` frames at `rate`, made by ffmpeg with `codec` ("flac", "libvorbis",
// "libopus", "pcm_s16le" for WAVE, "pcm_s16be" for AIFF) into its own container, whatever the
// name, with ffmpeg's `metadata` (a WAVE file's LIST-INFO, an AIFF file's NAME chunk); false when
// ffmpeg failed.
bool WriteEncoded(const std::string& path, const std::string& codec, int rate, int64_t frames,
                  const std::map<std::string, std::string>& metadata = {});

// The 80-bit big-endian extended form of a sample rate, as AIFF stores it.
std::vector<uint8_t> Extended(uint32_t rate);

// A 32-bit integer as four bytes, least significant first, as the file formats store it.
std::string Int32Bytes(int32_t value);

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder final {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace tolvane::testing
