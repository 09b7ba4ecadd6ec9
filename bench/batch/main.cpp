// How much a batch in the program costs beyond the encoder's own work: the real build/tolvane
// (offscreen, "Autostart on enqueue" and "Close" at the end, the bundled encoder) encodes N
// generated WAVE files given on its command line, against the same N encoder runs back to back
// with the program's command line. Three rounds each, taking turns, and the medians. Two sets:
// 8 files of 30 s (target ratio at most 1.15) and 4 files of 240 s (at most 1.05). Exits 1 when
// a set misses its target.
//
//   build/bench_batch
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/mp3_inspect.h"
#include "timing.h"

namespace {

using tolvane::bench::Median;
using tolvane::bench::TimeRun;
using tolvane::testing::TempFolder;

const std::string kProgram = TOLVANE_BUILD_DIR "/tolvane";
const std::string kEncoder = TOLVANE_BUILD_DIR "/bladeenc";

void RemoveOutputs(const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs)
    std::filesystem::remove(std::filesystem::path(input).replace_extension(".mp3"));
}

// One set: returns the ratio, after printing both medians.
double MeasureSet(const TempFolder& temp, int files, int seconds) {
  const std::string folder = temp / (std::to_string(files) + "x" + std::to_string(seconds));
  std::filesystem::create_directories(folder);
  const std::vector<uint8_t> samples =
      tolvane::testing::Tone(int64_t{seconds} * 44100, 2, 44100, 9000, 7000);
  std::vector<std::string> inputs;
  for (int i = 0; i < files; ++i) {
    inputs.push_back(folder + "/take" + std::to_string(i) + ".wav");
    tolvane::testing::WriteWave(inputs.back(), {.samples = samples});
  }

  // Settings of a user who drops files and walks away: start at once, close at the end.
  const std::string config = folder + "/config";
  std::filesystem::create_directories(config + "/tolvane");
  tolvane::testing::WriteText(config + "/tolvane/HKEY_CURRENT_USER.reg",
                              "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n"
                              "\"Autostart\"=\"1\"\n\"Close\"=\"1\"\n\"OffOverwrite\"=\"1\"\n"
                              "\"BladePath\"=\"" +
                                  kEncoder + "\"\n");
  const std::map<std::string, std::string> environment = {{"XDG_CONFIG_HOME", config},
                                                          {"XDG_STATE_HOME", folder + "/state"},
                                                          {"XDG_RUNTIME_DIR", folder + "/run"},
                                                          {"QT_QPA_PLATFORM", "offscreen"}};

  std::vector<double> encoder;
  std::vector<double> program;
  for (int round = 0; round < 3; ++round) {
    RemoveOutputs(inputs);
    double total = 0;
    for (const std::string& input : inputs)
      total += TimeRun(kEncoder, {"-QUIT", "-128", "-PRIO=Lower", input});
    encoder.push_back(total);
    RemoveOutputs(inputs);
    program.push_back(TimeRun(kProgram, inputs, environment));
    for (const std::string& input : inputs) {
      if (!std::filesystem::exists(std::filesystem::path(input).replace_extension(".mp3"))) {
        std::fprintf(stderr, "the program left %s unencoded\n", input.c_str());
        std::exit(2);
      }
    }
  }
  const double ratio = Median(program) / Median(encoder);
  std::printf("%d x %3d s: program %.3f s, encoder runs %.3f s, ratio %.3f\n", files, seconds,
              Median(program), Median(encoder), ratio);
  return ratio;
}

}  // namespace

int main() {
  TempFolder temp;
  const double short_files = MeasureSet(temp, 8, 30);
  const double long_files = MeasureSet(temp, 4, 240);
  std::printf("targets: 8 x 30 s at most 1.15, 4 x 240 s at most 1.05\n");
  return short_files <= 1.15 && long_files <= 1.05 ? 0 : 1;
}
