// How much a batch in the program costs beyond the encoder's own work: the real build/tolvane
// (offscreen, "Autostart on enqueue" and "Close" at the end, the bundled encoder) encodes N
// generated WAVE files given on its command line, against the same N encoder runs back to back
// with the program's command line. Three rounds each, taking turns, and the medians. Two sets:
// 8 files of 30 s (target ratio at most 1.15) and 4 files of 240 s (at most 1.05). A parallel
// row: tolvane-batch on 8 files of 240 s with -j the number of cores (at most 1/cores + 0.10 of
// the back-to-back time: 0.60 on two cores) and with -j 1 (at most 1.05). A resume row:
// tolvane-batch --resume over a finished library of 10,000 MP3 files of 240 s, cache warm (under
// 1 s). A ReplayGain row: --replaygain on 4 files of 240 s against the same run without it (at
// most 1.05). Exits 1 when a row misses its target.
//
//   build/bench_batch
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
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
const std::string kBatch = TOLVANE_BUILD_DIR "/tolvane-batch";

void RemoveOutputs(const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs)
    std::filesystem::remove(std::filesystem::path(input).replace_extension(".mp3"));
}

std::vector<std::string> MakeInputs(const std::string& folder, int files, int seconds) {
  std::filesystem::create_directories(folder);
  const std::vector<uint8_t> samples =
      tolvane::testing::Tone(int64_t{seconds} * 44100, 2, 44100, 9000, 7000);
  std::vector<std::string> inputs;
  for (int i = 0; i < files; ++i) {
    inputs.push_back(folder + "/take" + std::to_string(i) + ".wav");
    tolvane::testing::WriteWave(inputs.back(), {.samples = samples});
  }
  return inputs;
}

double EncoderRunsBackToBack(const std::vector<std::string>& inputs) {
  RemoveOutputs(inputs);
  double total = 0;
  for (const std::string& input : inputs)
    total += TimeRun(kEncoder, {"-QUIT", "-128", "-PRIO=Lower", input});
  return total;
}

// The parallel row: tolvane-batch with -j `jobs` against the encoder runs back to back.
double MeasureParallel(const TempFolder& temp, int jobs) {
  const std::vector<std::string> inputs =
      MakeInputs(temp / ("parallel" + std::to_string(jobs)), 8, 240);
  const std::map<std::string, std::string> environment = {
      {"XDG_CONFIG_HOME", temp / "parallel-config"}, {"XDG_STATE_HOME", temp / "parallel-state"}};
  std::vector<std::string> arguments = {
      "--quiet", "--overwrite", "-b",     "128", "--priority",
      "lower",   "--encoder",   kEncoder, "-j",  std::to_string(jobs)};
  arguments.insert(arguments.end(), inputs.begin(), inputs.end());
  std::vector<double> encoder;
  std::vector<double> batch;
  for (int round = 0; round < 3; ++round) {
    encoder.push_back(EncoderRunsBackToBack(inputs));
    RemoveOutputs(inputs);
    batch.push_back(TimeRun(kBatch, arguments, environment));
  }
  const double ratio = Median(batch) / Median(encoder);
  std::printf("8 x 240 s, -j %d: tolvane-batch %.3f s, encoder runs %.3f s, ratio %.3f\n", jobs,
              Median(batch), Median(encoder), ratio);
  return ratio;
}

// The resume row: a rerun over a finished library finds every MP3 done from its head and tail.
// The 10,000 names are links to one WAVE file and one MP3 of 240 s, so the disk holds two.
double MeasureResume(const TempFolder& temp) {
  constexpr int kFiles = 10'000;
  const std::string folder = temp / "library";
  const std::string wave = MakeInputs(folder + "/one", 1, 240).front();
  TimeRun(kEncoder, {"-QUIT", "-128", wave});
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = folder + "/" + std::to_string(i);
    std::filesystem::create_hard_link(wave, name + ".wav");
    std::filesystem::create_hard_link(std::filesystem::path(wave).replace_extension(".mp3"),
                                      name + ".mp3");
  }
  std::filesystem::remove_all(folder + "/one");
  const std::map<std::string, std::string> environment = {
      {"XDG_CONFIG_HOME", temp / "resume-config"}, {"XDG_STATE_HOME", temp / "resume-state"}};
  const std::vector<std::string> arguments = {"--quiet", "--resume", "--encoder", kEncoder, folder};
  std::vector<double> runs;
  for (int round = 0; round < 3; ++round)
    runs.push_back(TimeRun(kBatch, arguments, environment));
  std::printf("--resume over %d finished MP3 files of 240 s: %.3f s (target under 1 s)\n", kFiles,
              Median(runs));
  return Median(runs);
}

// The ReplayGain row: the same files with and without --replaygain, -j the number of cores.
double MeasureReplayGain(const TempFolder& temp, int jobs) {
  const std::vector<std::string> inputs = MakeInputs(temp / "replaygain", 4, 240);
  const std::map<std::string, std::string> environment = {{"XDG_CONFIG_HOME", temp / "rg-config"},
                                                          {"XDG_STATE_HOME", temp / "rg-state"}};
  std::vector<std::string> arguments = {"--quiet", "--overwrite", "--encoder",
                                        kEncoder,  "-j",          std::to_string(jobs)};
  arguments.insert(arguments.end(), inputs.begin(), inputs.end());
  std::vector<std::string> measuring = arguments;
  measuring.push_back("--replaygain");
  std::vector<double> plain;
  std::vector<double> measured;
  for (int round = 0; round < 3; ++round) {
    plain.push_back(TimeRun(kBatch, arguments, environment));
    measured.push_back(TimeRun(kBatch, measuring, environment));
  }
  const double ratio = Median(measured) / Median(plain);
  std::printf("4 x 240 s, -j %d: --replaygain %.3f s, without %.3f s, ratio %.3f\n", jobs,
              Median(measured), Median(plain), ratio);
  return ratio;
}

// One set: returns the ratio, after printing both medians.
double MeasureSet(const TempFolder& temp, int files, int seconds) {
  const std::string folder = temp / (std::to_string(files) + "x" + std::to_string(seconds));
  const std::vector<std::string> inputs = MakeInputs(folder, files, seconds);

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
    encoder.push_back(EncoderRunsBackToBack(inputs));
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
  const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  const double parallel = MeasureParallel(temp, cores);
  const double serial = MeasureParallel(temp, 1);
  const double resume = MeasureResume(temp);
  const double replaygain = MeasureReplayGain(temp, cores);
  const double parallel_target = 1.0 / cores + 0.10;
  std::printf(
      "targets: 8 x 30 s at most 1.15, 4 x 240 s at most 1.05, -j %d at most %.2f, "
      "-j 1 at most 1.05, --resume under 1 s, --replaygain at most 1.05\n",
      cores, parallel_target);
  return short_files <= 1.15 && long_files <= 1.05 && parallel <= parallel_target &&
                 serial <= 1.05 && resume < 1.0 && replaygain <= 1.05
             ? 0
             : 1;
}
