#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace tolvane::encoder {

// The texts a sound file's own chunks hold (a WAVE file's LIST-INFO, an AIFF file's NAME, AUTH
// and ANNO), as the library finds them: "" for each it does not.
struct SoundTexts {
  std::string title;
  std::string artist;
  std::string album;
  std::string comment;
  std::string date;
  std::string track;
  std::string genre;
};

// The sound of an input file as libsndfile reads it: WAVE (integer, float, extensible), RF64,
// AIFF and AIFF-C, FLAC, Ogg Vorbis and Opus. Samples come as floats with full scale at 1.0,
// interleaved; float input is passed on as it is, also beyond full scale.
class SoundReader final {
 public:
  // Reads from `fd`, which stays the caller's and must outlive the reader. A message saying why
  // when the file is no sound the library can read.
  static std::variant<SoundReader, std::string> Open(int fd);
  // The same for a regular file by its name.
  static std::variant<SoundReader, std::string> OpenFile(const std::string& path);

  int Channels() const { return channels_; }
  int SampleRate() const { return sample_rate_; }
  // The frames the file says it holds (a FLAC file's stream info, say).
  int64_t Frames() const { return frames_; }

  SoundTexts Texts() const;

  // Reads up to `frames` frames into `samples`; returns how many were read: 0 at the end, -1
  // when the file cannot be read on. A sample that is no number (a damaged float) is silence.
  int64_t Read(float* samples, int64_t frames);
  // Why the last read failed, in the library's words.
  std::string Error() const;

 private:
  struct Closer {
    void operator()(void* file) const;
  };
  SoundReader() = default;
  // Takes an open libsndfile handle (null: why it could not be opened).
  static std::variant<SoundReader, std::string> Adopt(void* file, int channels, int sample_rate,
                                                      int64_t frames);

  std::unique_ptr<void, Closer> file_;
  int channels_ = 0;
  int sample_rate_ = 0;
  int64_t frames_ = 0;
};

}  // namespace tolvane::encoder
