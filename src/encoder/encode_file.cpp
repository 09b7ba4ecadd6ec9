#include "encode_file.h"

#include <fcntl.h>
#include <lame/lame.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "downmix.h"
#include "loudness.h"
#include "pcm_input.h"
#include "platform/number_text.h"
#include "platform/paths.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"
#include "sound_reader.h"

namespace tolvane::encoder {

namespace {

// Enough frames per block for the output to grow in small, steady steps.
constexpr int64_t kFramesPerBlock = 1152 * 8;
constexpr int kQuality = 3;

struct LameDeleter {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

// A length of sound as MM:SS.
std::string MinutesAndSeconds(int64_t frames, int sample_rate) {
  const int64_t seconds = sample_rate > 0 ? frames / sample_rate : 0;
  return platform::ZeroPadded(seconds / 60, 2) + ":" + platform::ZeroPadded(seconds % 60, 2);
}

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

// Splits interleaved samples (one or two channels) into the channels the MP3 gets, after the
// channel mode.
void SplitChannels(const std::vector<float>& samples, int input_channels, ChannelMode mode,
                   std::vector<float>& left, std::vector<float>& right) {
  const size_t frames = samples.size() / static_cast<size_t>(input_channels);
  left.resize(frames);
  right.resize(frames);
  for (size_t i = 0; i < frames; ++i) {
    if (input_channels == 1) {
      left[i] = right[i] = samples[i];
      continue;
    }
    const float l = samples[2 * i];
    const float r = samples[2 * i + 1];
    switch (mode) {
      case ChannelMode::Stereo:
        left[i] = l;
        right[i] = r;
        break;
      case ChannelMode::Swap:
        left[i] = r;
        right[i] = l;
        break;
      case ChannelMode::Mono:
        left[i] = right[i] = (l + r) / 2;
        break;
      case ChannelMode::Left:
        left[i] = right[i] = l;
        break;
      case ChannelMode::Right:
        left[i] = right[i] = r;
        break;
    }
  }
}

}  // namespace

std::string OutputPathFor(const std::string& input, const std::string& output_folder) {
  const platform::Paths paths(platform::PathStyle::Posix);
  const std::string beside = paths.WithMp3Extension(input);
  if (output_folder.empty())
    return beside;
  return paths.WithTrailingSeparator(output_folder) + paths.NamePart(beside);
}

std::string EncodeFile(const std::string& input, const std::string& output,
                       const EncoderOptions& options) {
  const posix::UniqueFd in(::open(input.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.Get() < 0)
    return SystemError("cannot open it");
  struct stat info {};
  if (::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return "is not a regular file";
  // A WAVE or AIFF file's own header says what it holds, also when the file was cut short
  // (which the sound library passes over); other formats say so through the library.
  std::optional<PcmFormat> pcm;
  if (IsWaveOrAiff(in.Get(), info.st_size)) {
    const auto header = ReadPcmFormat(in.Get(), info.st_size);
    if (const auto* problem = std::get_if<std::string>(&header))
      return *problem;
    pcm = std::get<PcmFormat>(header);
    // A file cut short (half copied) is no whole sound: no short MP3 passes for it.
    if (pcm->DeclaredFrames() > pcm->Frames()) {
      return "ends at " + MinutesAndSeconds(pcm->Frames(), pcm->sample_rate) + " of " +
             MinutesAndSeconds(pcm->DeclaredFrames(), pcm->sample_rate);
    }
  }
  auto opened = SoundReader::Open(in.Get());
  if (const auto* problem = std::get_if<std::string>(&opened))
    return *problem;
  SoundReader& sound = std::get<SoundReader>(opened);
  if (std::string problem = CheckChannelsAndRate(sound.Channels(), sound.SampleRate());
      !problem.empty())
    return problem;
  const int channels = sound.Channels();
  const int sample_rate = sound.SampleRate();
  const int64_t declared_frames = pcm ? pcm->Frames() : sound.Frames();

  struct stat out_info {};
  if (::stat(output.c_str(), &out_info) == 0 && out_info.st_dev == info.st_dev &&
      out_info.st_ino == info.st_ino) {
    return "would be overwritten by its own output";
  }

  const bool mono_output = channels == 1 || options.channel_mode == ChannelMode::Mono ||
                           options.channel_mode == ChannelMode::Left ||
                           options.channel_mode == ChannelMode::Right;
  std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
  if (!lame)
    return "cannot start the MP3 encoder";
  lame_set_num_channels(lame.get(), 2);
  lame_set_in_samplerate(lame.get(), sample_rate);
  lame_set_out_samplerate(lame.get(), Mp3SampleRate(sample_rate));
  lame_set_mode(lame.get(), mono_output ? MONO : STEREO);
  if (options.vbr_quality) {
    lame_set_VBR(lame.get(), vbr_default);
    lame_set_VBR_q(lame.get(), *options.vbr_quality);
  } else {
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), options.bitrate_kbps);
  }
  lame_set_quality(lame.get(), kQuality);
  lame_set_error_protection(lame.get(), options.crc ? 1 : 0);
  lame_set_copyright(lame.get(), options.copyright ? 1 : 0);
  lame_set_original(lame.get(), options.copy ? 0 : 1);
  lame_set_extension(lame.get(), options.private_bit ? 1 : 0);
  lame_set_findReplayGain(lame.get(), 0);
  lame_set_write_id3tag_automatic(lame.get(), 0);
  // The info frame at the start tells decoders the exact length (and a VBR stream's seek table,
  // as its Xing header); it is filled in at the end.
  lame_set_bWriteVbrTag(lame.get(), 1);
  if (lame_init_params(lame.get()) < 0)
    return "cannot be encoded with these settings";

  posix::UniqueFd out(::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (out.Get() < 0)
    return SystemError("cannot write " + output);

  std::vector<float> samples;
  std::vector<float> stereo;
  std::vector<float> left;
  std::vector<float> right;
  // More than two channels are mixed down to stereo first; the channel mode acts on that.
  const StereoWeights downmix = DownmixWeights(channels, pcm ? pcm->channel_mask : 0);
  const int mixed_channels = std::min(channels, 2);
  std::vector<unsigned char> mp3(static_cast<size_t>(kFramesPerBlock * 5 / 4 + 7200));
  // Measured on the decode the encoding makes anyway: the sound as mixed down to stereo.
  std::unique_ptr<LoudnessMeter> meter;
  if (options.loudness) {
    meter = LoudnessMeter::Create(mixed_channels, sample_rate);
    if (meter == nullptr)
      return "cannot measure its loudness";
  }
  int64_t done_frames = 0;
  for (;;) {
    // A WAVE or AIFF file is read as far as its header says, not into what follows the sound.
    const int64_t wanted =
        pcm ? std::min(kFramesPerBlock, declared_frames - done_frames) : kFramesPerBlock;
    if (wanted <= 0)
      break;
    samples.resize(static_cast<size_t>(wanted * channels));
    const int64_t frames = sound.Read(samples.data(), wanted);
    if (frames < 0) {
      // A cut-off FLAC file reads as a decoder that lost its way before the declared end.
      const std::string where = MinutesAndSeconds(done_frames, sample_rate);
      return (done_frames < declared_frames
                  ? "ends at " + where + " of " + MinutesAndSeconds(declared_frames, sample_rate)
                  : "cannot be read at " + where) +
             " (" + sound.Error() + ")";
    }
    if (frames == 0)
      break;
    done_frames += frames;
    samples.resize(static_cast<size_t>(frames * channels));
    if (channels > 2) {
      Downmix(samples, downmix, stereo);
      samples.swap(stereo);
    }
    if (meter != nullptr)
      meter->Add(samples.data(), frames);
    SplitChannels(samples, mixed_channels, options.channel_mode, left, right);
    // Samples with full scale at 1.0; float input beyond it is passed on, not clipped.
    const int encoded = lame_encode_buffer_ieee_float(lame.get(), left.data(), right.data(),
                                                      static_cast<int>(frames), mp3.data(),
                                                      static_cast<int>(mp3.size()));
    if (encoded < 0)
      return "could not be encoded (MP3 encoder error " + std::to_string(encoded) + ")";
    if (!posix::WriteAll(
            out.Get(), {reinterpret_cast<const char*>(mp3.data()), static_cast<size_t>(encoded)})) {
      return SystemError("cannot write " + output);
    }
  }
  // A file that ends before the length it declares (a truncated FLAC file) was cut short.
  if (done_frames < declared_frames) {
    return "ends at " + MinutesAndSeconds(done_frames, sample_rate) + " of " +
           MinutesAndSeconds(declared_frames, sample_rate);
  }
  const int flushed = lame_encode_flush(lame.get(), mp3.data(), static_cast<int>(mp3.size()));
  if (flushed < 0 || !posix::WriteAll(out.Get(), {reinterpret_cast<const char*>(mp3.data()),
                                                  static_cast<size_t>(flushed)})) {
    return SystemError("cannot write " + output);
  }
  std::vector<unsigned char> tag(2880);
  const size_t tag_size = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
  if (tag_size > 0 && tag_size <= tag.size() &&
      ::pwrite(out.Get(), tag.data(), tag_size, 0) != static_cast<ssize_t>(tag_size)) {
    return SystemError("cannot write " + output);
  }
  // Before its source may go, the MP3 must be whole on the disk: a failed sync or close (a full
  // disk, a network file system) is a failed encoding.
  if (options.delete_source && ::fsync(out.Get()) != 0)
    return SystemError("cannot write " + output);
  if (!out.Close())
    return SystemError("cannot write " + output);
  if (meter != nullptr) {
    const std::string measure = output + ".loudness";
    posix::UniqueFd report(::open(measure.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (report.Get() < 0 || !posix::WriteAll(report.Get(), meter->Report()) || !report.Close())
      return SystemError("cannot write " + measure);
  }
  return {};
}

}  // namespace tolvane::encoder
