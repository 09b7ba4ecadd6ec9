// Files as the common Linux audio tools write them (sox, ffmpeg): every layout is read by the
// probe as it is, encoded by bladeenc, and the MP3 decodes to the source's length.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "queue/probe.h"
#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/mp3_inspect.h"

namespace tolvane::encoder {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

constexpr int kFrame = 1152;

struct Made {
  const char* name;     // the file's name in the corpus folder
  std::string command;  // the shell command that writes it to "$OUT"
  int channels;
  int rate;
  int bits;
  bool aiff_c;  // AIFF-C: the probe refuses it, the encoder reads it
};

std::string Sox(const std::string& options, int channels, int rate) {
  return "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + options +
         " \"$OUT\" synth 1 sine 1000";
}

std::string Ffmpeg(const std::string& source, const std::string& options) {
  return "ffmpeg -loglevel error -y -f lavfi -i '" + source + "' " + options + " \"$OUT\"";
}

const std::string kStereoSource = "aevalsrc=0.8*sin(1000*2*PI*t)|0.5*sin(500*2*PI*t):s=48000:d=1";
const std::string kSurroundSource =
    "aevalsrc=0.5*sin(1000*2*PI*t)|0.5*sin(1100*2*PI*t)|0.5*sin(700*2*PI*t)|0.5*sin(60*2*PI*t)|"
    "0.3*sin(1500*2*PI*t)|0.3*sin(1700*2*PI*t):s=48000:d=1:c=5.1";

std::vector<Made> Corpus() {
  return {
      {"sox16.wav", Sox("-b 16", 2, 44100), 2, 44100, 16, false},
      {"sox24.wav", Sox("-b 24", 2, 48000), 2, 48000, 24, false},
      {"sox32.wav", Sox("-b 32 -e signed-integer", 2, 44100), 2, 44100, 32, false},
      {"sox-float.wav", Sox("-b 32 -e floating-point", 2, 44100), 2, 44100, 32, false},
      {"sox-double.wav", Sox("-b 64 -e floating-point", 1, 32000), 1, 32000, 64, false},
      {"sox8-mono.wav", Sox("-b 8", 1, 32000), 1, 32000, 8, false},
      {"sox-5.1.wav", Sox("-b 16", 6, 48000), 6, 48000, 16, false},
      {"ffmpeg16.wav", Ffmpeg(kStereoSource, "-c:a pcm_s16le"), 2, 48000, 16, false},
      {"ffmpeg24-extensible.wav", Ffmpeg(kStereoSource, "-c:a pcm_s24le"), 2, 48000, 24, false},
      {"ffmpeg-float.wav", Ffmpeg(kStereoSource, "-c:a pcm_f32le"), 2, 48000, 32, false},
      {"ffmpeg-5.1.wav", Ffmpeg(kSurroundSource, "-c:a pcm_s16le"), 6, 48000, 16, false},
      {"ffmpeg-5.1-float.wav", Ffmpeg(kSurroundSource, "-c:a pcm_f32le"), 6, 48000, 32, false},
      {"ffmpeg-bext.wav", Ffmpeg(kStereoSource, "-c:a pcm_s16le -write_bext 1"), 2, 48000, 16,
       false},
      {"ffmpeg-junk.wav", Ffmpeg(kStereoSource, "-c:a pcm_s16le -rf64 auto"), 2, 48000, 16, false},
      {"ffmpeg-list.wav",
       Ffmpeg(kStereoSource, "-c:a pcm_s16le -metadata title=Song -metadata artist=Band"), 2, 48000,
       16, false},
      {"sox16-aiff.aiff", Sox("-b 16", 2, 44100), 2, 44100, 16, false},
      {"sox24-aiff.aiff", Sox("-b 24", 1, 48000), 1, 48000, 24, false},
      {"sox8-aiff.aiff", Sox("-b 8", 2, 32000), 2, 32000, 8, false},
      {"sox32-aiff.aiff", Sox("-b 32", 2, 44100), 2, 44100, 32, false},
      {"ffmpeg16-aiff.aiff", Ffmpeg(kStereoSource, "-c:a pcm_s16be"), 2, 48000, 16, false},
      {"sox-none.aifc", Sox("-b 16 -e signed-integer", 2, 44100), 2, 44100, 16, true},
      {"ffmpeg-sowt.aifc", Ffmpeg(kStereoSource, "-c:a pcm_s16le -f aiff"), 2, 48000, 16, true},
      {"ffmpeg-fl32.aifc", Ffmpeg(kStereoSource, "-c:a pcm_f32be -f aiff"), 2, 48000, 32, true},
  };
}

// Writes the corpus into `folder`; every tool run must succeed.
void WriteCorpus(const std::string& folder) {
  for (const Made& made : Corpus()) {
    const std::string command =
        "OUT='" + folder + "/" + made.name + "'; " + made.command + " 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << made.command;
  }
}

int Peak(const testing::DecodedSound& sound) {
  int peak = 0;
  for (const int16_t sample : sound.samples)
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  return peak;
}

TEST(OtherTools, EveryLayoutIsProbedEncodedAndDecodesToItsLength) {
  TempFolder temp;
  ASSERT_NO_FATAL_FAILURE(WriteCorpus(temp.Path()));
  posix::PosixFileSystem files;
  for (const Made& made : Corpus()) {
    SCOPED_TRACE(made.name);
    const std::string path = temp / made.name;
    const queue::ProbeResult probe = queue::ProbeFile(files, path);
    if (made.aiff_c) {
      EXPECT_FALSE(probe.header) << "AIFF-C is refused";
    } else {
      ASSERT_TRUE(probe.header);
      EXPECT_EQ(probe.header->channels, made.channels);
      EXPECT_EQ(probe.header->sample_rate, made.rate);
      EXPECT_EQ(probe.header->bits_per_sample, made.bits);
      const double seconds = static_cast<double>(probe.header->file_size) * 8 /
                             (made.channels * made.bits * static_cast<double>(made.rate));
      EXPECT_EQ(std::lround(seconds), 1) << "the play time";
    }
    testing::ChildProcess encoder(TOLVANE_BUILD_DIR "/bladeenc", {path}, {}, temp / "log.txt");
    ASSERT_EQ(encoder.WaitFor(60s), 0) << testing::ReadText(temp / "log.txt");
    const std::string mp3 = std::filesystem::path(path).replace_extension(".mp3");
    const testing::DecodedSound sound = testing::DecodeMp3(mp3);
    EXPECT_EQ(sound.sample_rate, made.rate);
    EXPECT_NEAR(sound.Frames(), made.rate, kFrame) << "one second";
    EXPECT_GT(sound.Level(0), 1000) << "sound, not silence";
    EXPECT_GT(sound.Level(sound.channels - 1), 1000);
  }
}

// A full-scale float sine comes out at full scale: nothing on the way clips or scales it down.
TEST(OtherTools, FloatInputIsNotClipped) {
  TempFolder temp;
  const std::string source = temp / "full.wav";
  const std::string command = "sox -n -r 44100 -c 1 -b 32 -e floating-point '" + source +
                              "' synth 1 sine 1000 gain -n 2> /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  testing::ChildProcess encoder(TOLVANE_BUILD_DIR "/bladeenc", {"-320", source});
  ASSERT_EQ(encoder.WaitFor(60s), 0);
  const int peak = Peak(testing::DecodeMp3(temp / "full.mp3"));
  EXPECT_GT(20 * std::log10(peak / 32768.0), -1.0) << peak;
}

// The same files, AIFF-C aside, through the real program: one MP3 each, and no message box
// (one would keep the window from closing by itself).
TEST(OtherTools, TheProgramEncodesThemAll) {
  TempFolder temp;
  ASSERT_NO_FATAL_FAILURE(WriteCorpus(temp.Path()));
  std::vector<std::string> inputs;
  for (const Made& made : Corpus()) {
    if (!made.aiff_c)
      inputs.push_back(temp / made.name);
  }
  std::filesystem::create_directories(temp / "config/tolvane");
  testing::WriteText(temp / "config/tolvane/HKEY_CURRENT_USER.reg",
                     "Windows Registry Editor Version 5.00\n\n"
                     "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n"
                     "\"Autostart\"=\"1\"\n\"Close\"=\"1\"\n\"BladePath\"=\"" TOLVANE_BUILD_DIR
                     "/bladeenc\"\n");
  testing::ChildProcess program(TOLVANE_BUILD_DIR "/tolvane", inputs,
                                {{"XDG_STATE_HOME", temp / "state"},
                                 {"XDG_CONFIG_HOME", temp / "config"},
                                 {"QT_QPA_PLATFORM", "offscreen"}});
  ASSERT_EQ(program.WaitFor(120s), 0) << "closed by itself at the end of the batch";
  for (const std::string& input : inputs) {
    const auto output = std::filesystem::path(input).replace_extension(".mp3");
    EXPECT_TRUE(std::filesystem::exists(output)) << input;
    if (std::filesystem::exists(output)) {
      EXPECT_GT(std::filesystem::file_size(output), 1000u) << input;
    }
  }
}

}  // namespace
}  // namespace tolvane::encoder
