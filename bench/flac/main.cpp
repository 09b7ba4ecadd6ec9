// A FLAC library to MP3 at 128 kbps, two at a time: tolvane-batch -j 2 on 8 FLAC files of 120 s,
// against GNU parallel -j 2 running ffmpeg with libmp3lame and running flac -dc | lame, and
// against tolvane-batch on the same sound as WAVE. Three rounds, taking turns, and the medians.
// Targets: faster than both others, and FLAC at most 1.05 times the WAVE time. Exits 1 when a
// target is missed, 2 when a tool is missing (Debian's parallel, flac, lame and ffmpeg).
//
//   build/bench_flac
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/audio_files.h"
#include "support/mp3_inspect.h"
#include "timing.h"

namespace {

using tolvane::bench::Median;
using tolvane::bench::TimeRun;

const std::string kBatch = TOLVANE_BUILD_DIR "/tolvane-batch";

}  // namespace

int main() {
  for (const char* tool :
       {"/usr/bin/parallel", "/usr/bin/flac", "/usr/bin/lame", "/usr/bin/ffmpeg"}) {
    if (!std::filesystem::exists(tool)) {
      std::fprintf(stderr, "%s is missing: apt-get install parallel flac lame ffmpeg\n", tool);
      return 2;
    }
  }
  tolvane::testing::TempFolder temp;
  const std::string wav = temp / "wav";
  const std::string flac = temp / "flac";
  std::filesystem::create_directories(wav);
  std::filesystem::create_directories(flac);
  tolvane::testing::WaveLayout layout;
  layout.samples = tolvane::testing::Tone(int64_t{120} * 44100, 2, 44100, 9000, 7000);
  std::vector<std::string> flac_files;
  for (int i = 0; i < 8; ++i) {
    const std::string name = "take" + std::to_string(i);
    tolvane::testing::WriteWave(wav + "/" + name + ".wav", layout);
    flac_files.push_back(flac + "/" + name + ".flac");
    TimeRun("/usr/bin/flac", {"-s", "-f", "-o", flac_files.back(), wav + "/" + name + ".wav"});
  }
  const std::map<std::string, std::string> environment = {{"XDG_CONFIG_HOME", temp / "config"},
                                                          {"XDG_STATE_HOME", temp / "state"}};
  const auto batch = [&](const std::string& folder) {
    // At the priority of the others: the window's default ("lower") gives way to any other load.
    return TimeRun(kBatch,
                   {"--quiet", "--overwrite", "-b", "128", "--priority", "normal", "-j", "2", "-o",
                    temp / ("out-" + std::filesystem::path(folder).filename().string()), folder},
                   environment);
  };
  std::vector<std::string> ffmpeg = {"-j",
                                     "2",
                                     "/usr/bin/ffmpeg",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-i",
                                     "{}",
                                     "-c:a",
                                     "libmp3lame",
                                     "-b:a",
                                     "128k",
                                     temp / "{/.}.ffmpeg.mp3",
                                     ":::"};
  ffmpeg.insert(ffmpeg.end(), flac_files.begin(), flac_files.end());
  std::vector<std::string> pipe = {
      "-j", "2",
      "/usr/bin/flac -s -dc {} | /usr/bin/lame --silent -b 128 - " + (temp / "{/.}.lame.mp3"),
      ":::"};
  pipe.insert(pipe.end(), flac_files.begin(), flac_files.end());

  std::vector<double> from_flac, from_wav, with_ffmpeg, with_pipe;
  for (int round = 0; round < 3; ++round) {
    from_flac.push_back(batch(flac));
    from_wav.push_back(batch(wav));
    with_ffmpeg.push_back(TimeRun("/usr/bin/parallel", ffmpeg));
    with_pipe.push_back(TimeRun("/usr/bin/parallel", pipe));
  }
  const double flac_time = Median(from_flac);
  const double ratio = flac_time / Median(from_wav);
  std::printf(
      "8 x 120 s FLAC, 2 at a time: tolvane-batch %.3f s, parallel ffmpeg %.3f s, "
      "parallel flac|lame %.3f s\n",
      flac_time, Median(with_ffmpeg), Median(with_pipe));
  std::printf(
      "the same sound as WAVE: tolvane-batch %.3f s; FLAC/WAVE %.3f (target at most 1.05)\n",
      Median(from_wav), ratio);
  return flac_time < Median(with_ffmpeg) && flac_time < Median(with_pipe) && ratio <= 1.05 ? 0 : 1;
}
