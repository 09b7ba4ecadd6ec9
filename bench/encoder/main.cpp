// Compares build/bladeenc with Debian's lame on the same 60 s, 44.1 kHz stereo file at 128 kbps
// CBR and the same quality (-q 3, no ReplayGain analysis): five runs of each, taking turns, and
// the medians. Prints both and their ratio; exits 1 when ours takes more than 1.10 times as long.
//
//   build/bench_encoder [path-to-lame]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/mp3_inspect.h"
#include "timing.h"

namespace {
using tolvane::bench::Median;
using tolvane::bench::TimeRun;
}  // namespace

int main(int argc, char** argv) {
  const std::string lame = argc > 1 ? argv[1] : "/usr/bin/lame";
  const std::string bladeenc = TOLVANE_BUILD_DIR "/bladeenc";
  tolvane::testing::TempFolder temp;
  const std::string input = temp / "sixty.wav";
  // A chord with some noise, so the encoder has real work to do.
  std::vector<uint8_t> samples = tolvane::testing::Tone(60 * 44100, 2, 44100, 9000, 7000);
  uint32_t seed = 12345;
  for (size_t i = 0; i + 1 < samples.size(); i += 2) {
    seed = seed * 1664525u + 1013904223u;
    const int noise = static_cast<int>(seed >> 22) - 512;
    const auto value = static_cast<int16_t>(samples[i] | (samples[i + 1] << 8));
    const auto mixed = static_cast<int16_t>(std::clamp(value + noise, -32768, 32767));
    samples[i] = static_cast<uint8_t>(mixed & 0xFF);
    samples[i + 1] = static_cast<uint8_t>((mixed >> 8) & 0xFF);
  }
  tolvane::testing::WriteWave(input, {.samples = samples});

  std::vector<double> ours;
  std::vector<double> theirs;
  for (int round = 0; round < 5; ++round) {
    ours.push_back(TimeRun(bladeenc, {"-QUIT", "-128", input}));
    theirs.push_back(TimeRun(lame, {"--silent", "--nohist", "--noreplaygain", "-q", "3", "--cbr",
                                    "-b", "128", input, temp / "lame.mp3"}));
  }
  const double ratio = Median(ours) / Median(theirs);
  std::printf("bladeenc median %.3f s, lame median %.3f s, ratio %.3f (target at most 1.10)\n",
              Median(ours), Median(theirs), ratio);
  return ratio <= 1.10 ? 0 : 1;
}
