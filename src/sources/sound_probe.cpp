#include "sound_probe.h"

#include <memory>
#include <span>
#include <string_view>

#include "encoder/pcm_input.h"
#include "encoder/sound_reader.h"
#include "platform/byte_order.h"
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

// Whether a file may carry tags: any but a WAVE or AIFF file without a chunk that holds them
// (LIST or id3 in WAVE; NAME, AUTH, ANNO, "(c) " or ID3 in AIFF). Most WAVE and AIFF files have
// none, and walking their chunk headers costs a few reads where the tag reader costs a parse.
bool MayCarryTags(platform::FileSystem& files, const std::string& path) {
  const std::unique_ptr<platform::File> file = files.Open(path, platform::OpenMode::Read);
  uint8_t head[12];
  if (file == nullptr || file->ReadAt(0, head, sizeof head) != sizeof head)
    return true;
  const std::string_view form(reinterpret_cast<const char*>(head), 4);
  const std::string_view type(reinterpret_cast<const char*>(head) + 8, 4);
  const bool wave = form == "RIFF" && type == "WAVE";
  const bool aiff = form == "FORM" && (type == "AIFF" || type == "AIFC");
  if (!wave && !aiff)
    return true;
  constexpr std::string_view kWaveTags[] = {"LIST", "id3 ", "ID3 "};
  constexpr std::string_view kAiffTags[] = {"NAME", "AUTH", "ANNO", "(c) ", "ID3 ", "id3 "};
  const int64_t size = file->Size();
  int64_t at = sizeof head;
  for (int chunks = 0; chunks < 256 && at + 8 <= size; ++chunks) {
    uint8_t header[8];
    if (file->ReadAt(at, header, sizeof header) != sizeof header)
      return true;
    const std::string_view id(reinterpret_cast<const char*>(header), 4);
    for (const std::string_view tag_id : wave ? std::span<const std::string_view>(kWaveTags)
                                              : std::span<const std::string_view>(kAiffTags)) {
      if (id == tag_id)
        return true;
    }
    const uint32_t length =
        wave ? platform::LittleEndian(header + 4, 4) : platform::BigEndian(header + 4, 4);
    at += 8 + static_cast<int64_t>(length) + (length & 1);
  }
  return false;
}

std::optional<queue::TagFields> EntryTagOf(platform::FileSystem& files, const std::string& path) {
  if (!MayCarryTags(files, path))
    return std::nullopt;
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
