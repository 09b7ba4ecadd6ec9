#include "job_text.h"

#include <cmath>
#include <cstdio>

#include "platform/number_text.h"
#include "platform/process.h"
#include "queue/names.h"

namespace tolvane::encoding {

namespace {

using platform::RoundHalfEven;
using platform::ZeroPadded;

}  // namespace

std::string SpeedText(double speed) {
  char text[64];
  // From 100x on the decimals would not fit the panel: whole numbers say enough there.
  std::snprintf(text, sizeof text, speed >= 99.995 ? "%.0f" : "%4.2f", speed);
  return std::string(text) + "x";
}

std::string BuildCommandLine(const std::string& encoder, const std::string& version_label,
                             const queue::TFileData& e, const std::string& target_folder,
                             const platform::Paths& paths) {
  std::string s = "-QUIT ";
  if (e.CRCFlag)
    s += "-CRC ";
  if (e.Channels == 2) {
    const bool knows_channel_switches = VersionAtLeast(version_label, kChannelSwitchVersion);
    switch (e.StereoMode) {
      case 1:
        if (knows_channel_switches)
          s += "-SWAP ";
        break;
      case 2:
        s += "-MONO ";
        break;
      case 3:
        if (knows_channel_switches)
          s += "-LEFTMONO ";
        break;
      case 4:
        if (knows_channel_switches)
          s += "-RIGHTMONO ";
        break;
      default:
        break;
    }
  }
  if (e.DeleteFlag)
    s += "-DELETE ";
  if (e.PrivateFlag)
    s += "-PRIVATE ";
  if (e.CopyFlag)
    s += "-COPY ";
  if (e.CopyrightFlag)
    s += "-COPYRIGHT ";
  if (e.MeasureLoudness)
    s += "-LOUDNESS ";
  s += e.VbrQuality >= 0 ? "-VBR=" + std::to_string(e.VbrQuality) + " "
                         : "-" + std::to_string(e.Bitrate) + " ";
  s += "-PRIO=" + queue::PriorityName(e.Priority);
  if (VersionAtLeast(version_label, kOutdirVersion) && !target_folder.empty()) {
    std::string folder = target_folder;
    if (folder.size() > 1 && paths.IsSeparator(folder.back()))
      folder.pop_back();
    s += " -OUTDIR=" + platform::QuoteArgument(folder);
  }
  s += " " + platform::QuoteArgument(e.FileName);
  return platform::QuoteArgument(encoder) + " " + s;
}

int64_t RemainingSeconds(uint32_t elapsed_ms, long double percent) {
  if (percent == 0)
    return 0;
  const long double elapsed = elapsed_ms;
  return RoundHalfEven(elapsed / (percent * 10) - elapsed * 0.001L);
}

FileProgress MeasureProgress(int64_t output_size, const queue::TFileData& e, uint32_t elapsed_ms) {
  FileProgress p;
  const int64_t bps = static_cast<int64_t>(e.Channels) * e.BitsPerSample * e.SampleRate;
  if (e.Bitrate > 0) {
    p.done_bytes = RoundHalfEven(static_cast<long double>(output_size) * 0.001L / e.Bitrate * bps);
  }
  if (e.FileSize > 0)
    p.percent = static_cast<long double>(p.done_bytes) / e.FileSize * 100;
  p.remaining = RemainingSeconds(elapsed_ms, p.percent);
  if (p.remaining != 0) {
    p.speed = static_cast<double>((100 - p.percent) * e.Duration / p.remaining * 0.01L);
  }
  return p;
}

}  // namespace tolvane::encoding
