#include "sound_probe.h"

#include "encoder/pcm_input.h"
#include "encoder/sound_reader.h"
#include "source_tags.h"

namespace tolvane::sources {

namespace {

queue::ProbeResult ProbeSound(platform::FileSystem& files, const std::string& path) {
  queue::ProbeResult result = queue::ProbeFile(files, path);
  // Only a regular file the window's probe could open and did not take is asked about again:
  // nothing here waits for a FIFO.
  if (!result.opened || result.header)
    return result;
  auto opened = encoder::SoundReader::OpenFile(path);
  if (const auto* problem = std::get_if<std::string>(&opened)) {
    // The window's word for a WAVE or AIFF file it refused is the better one; for anything else,
    // the library's.
    if (!result.wave_or_aiff)
      result.why = *problem;
    return result;
  }
  const auto& sound = std::get<encoder::SoundReader>(opened);
  if (std::string problem = encoder::CheckChannelsAndRate(sound.Channels(), sound.SampleRate());
      !problem.empty()) {
    result.why = std::move(problem);
    return result;
  }
  if (sound.Frames() <= 0) {
    result.why = "holds no sound";
    return result;
  }
  constexpr int32_t kBits = 16;
  queue::AudioHeader header;
  header.channels = sound.Channels();
  header.bits_per_sample = kBits;
  header.sample_rate = sound.SampleRate();
  header.file_size = sound.Frames() * header.channels * (kBits / 8);
  result.header = header;
  return result;
}

queue::ProbeResult ProbeForOutsideEncoder(platform::FileSystem& files, const std::string& path) {
  queue::ProbeResult result = queue::ProbeFile(files, path);
  if (!result.opened || result.header || result.wave_or_aiff)
    return result;
  if (std::holds_alternative<encoder::SoundReader>(encoder::SoundReader::OpenFile(path)))
    result.why = kNeedsBundledEncoder;
  return result;
}

std::optional<queue::TagFields> EntryTagOf(const std::string& path) {
  const std::optional<tags::SongTag> tag = ReadSourceTags(path);
  if (!tag)
    return std::nullopt;
  return tags::FieldsOf(*tag);
}

}  // namespace

queue::SourceKinds BundledSourceKinds() {
  return {ProbeSound,
          {"*.wav", "*.aif", "*.aiff", "*.flac", "*.ogg", "*.oga", "*.opus"},
          "Applicable audio|*.wav;*.aiff;*.aif;*.flac;*.ogg;*.oga;*.opus",
          {}};
}

queue::SourceKinds WindowSourceKinds(bool bundled_encoder) {
  queue::SourceKinds kinds = BundledSourceKinds();
  // A folder's FLAC, Ogg and Opus files are still found, so that each is named with the reason.
  if (!bundled_encoder) {
    kinds.probe = ProbeForOutsideEncoder;
    kinds.filter = queue::SourceKinds{}.filter;
  }
  kinds.tag = EntryTagOf;
  return kinds;
}

}  // namespace tolvane::sources
