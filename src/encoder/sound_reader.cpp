#include "sound_reader.h"

#include <sndfile.h>

#include <cmath>

namespace tolvane::encoder {

void SoundReader::Closer::operator()(void* file) const {
  sf_close(static_cast<SNDFILE*>(file));
}

std::variant<SoundReader, std::string> SoundReader::Open(int fd) {
  SF_INFO info{};
  SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
  return Adopt(file, info.channels, info.samplerate, info.frames);
}

std::variant<SoundReader, std::string> SoundReader::OpenFile(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  return Adopt(file, info.channels, info.samplerate, info.frames);
}

std::variant<SoundReader, std::string> SoundReader::Adopt(void* file, int channels, int sample_rate,
                                                          int64_t frames) {
  if (file == nullptr)
    return "is no sound file it can read (" + std::string(sf_strerror(nullptr)) + ")";
  SoundReader reader;
  reader.file_.reset(file);
  reader.channels_ = channels;
  reader.sample_rate_ = sample_rate;
  reader.frames_ = frames;
  return reader;
}

SoundTexts SoundReader::Texts() const {
  auto* file = static_cast<SNDFILE*>(file_.get());
  const auto text = [file](int kind) {
    const char* found = sf_get_string(file, kind);
    return std::string(found != nullptr ? found : "");
  };
  return {text(SF_STR_TITLE), text(SF_STR_ARTIST),      text(SF_STR_ALBUM), text(SF_STR_COMMENT),
          text(SF_STR_DATE),  text(SF_STR_TRACKNUMBER), text(SF_STR_GENRE)};
}

int64_t SoundReader::Read(float* samples, int64_t frames) {
  auto* file = static_cast<SNDFILE*>(file_.get());
  const sf_count_t got = sf_readf_float(file, samples, frames);
  if (got <= 0)
    return sf_error(file) == SF_ERR_NO_ERROR ? 0 : -1;
  // A damaged float would poison the encoder's filters.
  for (int64_t i = 0; i < got * channels_; ++i) {
    if (!std::isfinite(samples[i]))
      samples[i] = 0.0F;
  }
  return got;
}

std::string SoundReader::Error() const {
  return sf_strerror(static_cast<SNDFILE*>(file_.get()));
}

}  // namespace tolvane::encoder
