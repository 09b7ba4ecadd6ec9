#include <gtest/gtest.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "platform/posix/posix_file_system.h"
#include "settings/encoder_version.h"
#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/mp3_inspect.h"

namespace tolvane::encoder {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

const std::string kBladeEnc = TOLVANE_BUILD_DIR "/bladeenc";
constexpr int kFrame = 1152;

struct EncoderRun {
  int exit_code;
  std::string output;
};

EncoderRun RunEncoder(const TempFolder& temp, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {}) {
  const std::string log = temp / "encoder.log";
  testing::ChildProcess encoder(kBladeEnc, arguments, environment, log);
  const std::optional<int> code = encoder.WaitFor(120s);
  return {code.value_or(-1), testing::ReadText(log)};
}

// One second of a tone on the left channel only, 16-bit stereo.
void WriteLeftTone(const std::string& path, int rate = 44100, int64_t frames = 44100) {
  testing::WriteWave(path, {.sample_rate = static_cast<uint32_t>(rate),
                            .samples = testing::Tone(frames, 2, rate, 16000, 0)});
}

std::string Le32(uint32_t value) {
  return testing::Int32Bytes(static_cast<int32_t>(value));
}

// A WAVE file written by hand: "RIFF", then the given chunks as they are.
void WriteRawWave(const std::string& path, const std::string& chunks) {
  testing::WriteText(path,
                     "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks);
}

std::string FmtChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                     bool extensible) {
  std::string body;
  auto put16 = [&](uint16_t v) { body += Le32(v).substr(0, 2); };
  put16(extensible ? 0xFFFE : tag);
  put16(channels);
  body += Le32(rate);
  body += Le32(rate * channels * bits / 8);
  put16(static_cast<uint16_t>(channels * bits / 8));
  put16(bits);
  if (extensible) {
    put16(22);
    put16(bits);
    body += Le32(3);
    put16(tag);
    body += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  }
  return "fmt " + Le32(static_cast<uint32_t>(body.size())) + body;
}

std::string Samples16(int64_t frames, int channels, int rate) {
  const std::vector<uint8_t> tone = testing::Tone(frames, channels, rate, 8000, 8000);
  return std::string(tone.begin(), tone.end());
}

TEST(BladeEnc, EncodesMonoWithChecksumsAtTheInputsRate) {
  TempFolder temp;
  WriteLeftTone(temp / "song.wav", 44100, 3 * 44100);
  const EncoderRun run =
      RunEncoder(temp, {"-QUIT", "-CRC", "-MONO", "-128", "-PRIO=Lower", temp / "song.wav"});
  ASSERT_EQ(run.exit_code, 0) << run.output;
  const testing::DecodedSound sound = testing::DecodeMp3(temp / "song.mp3");
  EXPECT_EQ(sound.sample_rate, 44100);
  EXPECT_EQ(sound.channels, 1);
  EXPECT_NEAR(sound.Frames(), 3 * 44100, kFrame);
  const auto headers = testing::ReadFrameHeaders(temp / "song.mp3");
  ASSERT_GT(headers.size(), 100u);
  for (size_t i = 1; i < headers.size(); ++i) {
    EXPECT_TRUE(headers[i].crc) << "frame " << i;
    EXPECT_EQ(headers[i].channel_mode, 3) << "frame " << i;
    EXPECT_EQ(headers[i].bitrate_kbps, 128) << "frame " << i;
  }
  EXPECT_EQ(headers[1].version_bits, 3) << "MPEG-1";
  EXPECT_EQ(headers[1].layer_bits, 1) << "Layer III";
  const std::string bytes = testing::ReadText(temp / "song.mp3");
  EXPECT_EQ(bytes.find("TAG", bytes.size() - 128), std::string::npos) << "no ID3 tag";
  EXPECT_FALSE(bytes.starts_with("ID3"));
}

TEST(BladeEnc, EachSwitchSetsItsHeaderBit) {
  struct Case {
    std::vector<std::string> switches;
    bool crc, private_bit, copyright, original;
    int bitrate;
    int channel_mode;  // 0 stereo, 1 joint stereo, 3 mono
  };
  const Case cases[] = {
      {{}, false, false, false, true, 128, 0},
      {{"-CRC"}, true, false, false, true, 128, 0},
      {{"-PRIVATE"}, false, true, false, true, 128, 0},
      {{"-COPYRIGHT"}, false, false, true, true, 128, 0},
      {{"-COPY"}, false, false, false, false, 128, 0},
      {{"-320", "-crc", "-private"}, true, true, false, true, 320, 0},
      {{"-32", "-LEFTMONO"}, false, false, false, true, 32, 3},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    WriteLeftTone(temp / "in.wav", 48000, 12000);
    std::vector<std::string> arguments = c.switches;
    arguments.push_back(temp / "in.wav");
    const EncoderRun run = RunEncoder(temp, arguments);
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const auto headers = testing::ReadFrameHeaders(temp / "in.mp3");
    ASSERT_GT(headers.size(), 5u);
    std::string name;
    for (const std::string& s : c.switches)
      name += s + " ";
    for (size_t i = 1; i < headers.size(); ++i) {
      const testing::FrameHeader& h = headers[i];
      EXPECT_EQ(h.crc, c.crc) << name << "frame " << i;
      EXPECT_EQ(h.private_bit, c.private_bit) << name << "frame " << i;
      EXPECT_EQ(h.copyright, c.copyright) << name << "frame " << i;
      EXPECT_EQ(h.original, c.original) << name << "frame " << i;
      EXPECT_EQ(h.bitrate_kbps, c.bitrate) << name << "frame " << i;
      EXPECT_EQ(h.sample_rate, 48000) << name << "frame " << i;
      EXPECT_EQ(h.channel_mode, c.channel_mode) << name << "frame " << i;
    }
  }
  // A variable bitrate starts with its Xing header; the lower quality makes the smaller file.
  TempFolder temp;
  std::map<std::string, int64_t> sizes;
  for (const char* quality : {"-VBR=0", "-VBR=9"}) {
    WriteLeftTone(temp / "in.wav", 48000, 12000);
    ASSERT_EQ(RunEncoder(temp, {quality, temp / "in.wav"}).exit_code, 0) << quality;
    EXPECT_NE(testing::ReadText(temp / "in.mp3").substr(0, 64).find("Xing"), std::string::npos);
    sizes[quality] = static_cast<int64_t>(std::filesystem::file_size(temp / "in.mp3"));
  }
  EXPECT_LT(sizes["-VBR=9"], sizes["-VBR=0"]);
  // -LOUDNESS measures the tone: 16000 of 32768 on one channel peaks at 0.49, and a tone a fifth
  // as loud is 14 dB quieter; each 100 ms step after the first 400 ms is a block.
  std::map<int, std::string> reports;
  for (const int amplitude : {16000, 3200}) {
    testing::WriteWave(temp / "in.wav",
                       {.samples = testing::Tone(44100 * 2, 2, 44100, amplitude, 0)});
    ASSERT_EQ(RunEncoder(temp, {"-LOUDNESS", temp / "in.wav"}).exit_code, 0);
    reports[amplitude] = testing::ReadText(temp / "in.mp3.loudness");
  }
  EXPECT_TRUE(reports[16000].starts_with("peak 0.48")) << reports[16000];
  const auto loudness = [](const std::string& report) {
    return std::stod(report.substr(report.find("loudness ") + 9));
  };
  EXPECT_NEAR(loudness(reports[16000]) - loudness(reports[3200]), 13.98, 0.05);
  EXPECT_EQ(std::count(reports[3200].begin(), reports[3200].end(), 'b'), 17) << reports[3200];
}

TEST(BladeEnc, ChannelModesAreToldApartByTheirLevels) {
  // The tone is on the left channel only; its level there is about 11300 (16000 / sqrt 2).
  struct Case {
    const char* mode;
    int channels;
    double left_min, left_max, right_max;
  };
  const Case cases[] = {
      {"", 2, 10000, 12500, 300},        {"-SWAP", 2, 0, 300, 12500},  {"-MONO", 1, 5000, 6300, 0},
      {"-LEFTMONO", 1, 10000, 12500, 0}, {"-RIGHTMONO", 1, 0, 300, 0},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    WriteLeftTone(temp / "tone.wav");
    std::vector<std::string> arguments;
    if (*c.mode != '\0')
      arguments.push_back(c.mode);
    arguments.push_back("-192");
    arguments.push_back(temp / "tone.wav");
    const EncoderRun run = RunEncoder(temp, arguments);
    ASSERT_EQ(run.exit_code, 0) << c.mode << run.output;
    const testing::DecodedSound sound = testing::DecodeMp3(temp / "tone.mp3");
    ASSERT_EQ(sound.channels, c.channels) << c.mode;
    EXPECT_GE(sound.Level(0), c.left_min) << c.mode;
    EXPECT_LE(sound.Level(0), c.left_max) << c.mode;
    if (c.channels == 2) {
      if (std::string(c.mode) == "-SWAP") {
        EXPECT_GE(sound.Level(1), 10000) << c.mode;
      }
      EXPECT_LE(sound.Level(1), c.right_max) << c.mode;
    }
  }
}

TEST(BladeEnc, AMonoInputGivesMonoOutputWhateverTheSwitch) {
  TempFolder temp;
  testing::WriteWave(
      temp / "mono.wav",
      {.channels = 1, .sample_rate = 32000, .samples = testing::Tone(32000, 1, 32000, 9000, 0)});
  for (const char* mode : {"-SWAP", "-RIGHTMONO", "-MONO"}) {
    const EncoderRun run = RunEncoder(temp, {mode, temp / "mono.wav"});
    ASSERT_EQ(run.exit_code, 0) << mode << run.output;
    const testing::DecodedSound sound = testing::DecodeMp3(temp / "mono.mp3");
    EXPECT_EQ(sound.channels, 1) << mode;
    EXPECT_GT(sound.Level(0), 5000) << mode << ": the one channel is kept";
  }
}

TEST(BladeEnc, ReadsEveryKindOfSupportedInput) {
  const int64_t frames = 32000;
  struct Case {
    const char* name;
    std::function<void(const std::string&)> write;
    int rate;
    int64_t frames;
  };
  const std::string tone48 = Samples16(frames, 2, 48000);
  const auto encoded = [&](const char* codec, int rate) {
    return
        [=](const std::string& p) { ASSERT_TRUE(testing::WriteEncoded(p, codec, rate, frames)); };
  };
  const Case cases[] = {
      {"8-bit mono WAVE",
       [&](const std::string& p) {
         testing::WriteWave(p, {.channels = 1,
                                .sample_rate = 32000,
                                .bits_per_sample = 8,
                                .samples = std::vector<uint8_t>(frames, 128)});
       },
       32000, frames},
      {"24-bit WAVE",
       [&](const std::string& p) {
         testing::WriteWave(p, {.sample_rate = 48000,
                                .bits_per_sample = 24,
                                .samples = std::vector<uint8_t>(frames * 6, 0)});
       },
       48000, frames},
      {"LIST chunk of odd size before fmt",
       [&](const std::string& p) {
         WriteRawWave(p, "LIST" + Le32(5) + std::string("abcde\0", 6) +
                             FmtChunk(1, 2, 48000, 16, false) + "data" +
                             Le32(static_cast<uint32_t>(tone48.size())) + tone48);
       },
       48000, frames},
      {"WAVE_FORMAT_EXTENSIBLE",
       [&](const std::string& p) {
         WriteRawWave(p, FmtChunk(1, 2, 48000, 16, true) + "data" +
                             Le32(static_cast<uint32_t>(tone48.size())) + tone48);
       },
       48000, frames},
      {"data size unknown (0xFFFFFFFF)",
       [&](const std::string& p) {
         WriteRawWave(p, FmtChunk(1, 2, 48000, 16, false) + "data" + Le32(0xFFFFFFFF) + tone48);
       },
       48000, frames},
      {"AIFF", [&](const std::string& p) { testing::WriteAiff(p, {.frames = 44100}); }, 44100,
       44100},
      {"AIFF 8-bit mono",
       [&](const std::string& p) {
         testing::WriteAiff(p, {.channels = 1, .bits_per_sample = 8, .frames = 44100});
       },
       44100, 44100},
      {"FLAC", encoded("flac", 44100), 44100, frames},
      {"22050 Hz, a rate an MP3 holds",
       [&](const std::string& p) {
         testing::WriteWave(p, {.channels = 1,
                                .sample_rate = 22050,
                                .samples = testing::Tone(frames, 1, 22050, 8000, 8000)});
       },
       22050, frames},
      {"96 kHz 24-bit, resampled to 48 kHz",
       [&](const std::string& p) {
         testing::WriteWave(p, {.sample_rate = 96000,
                                .bits_per_sample = 24,
                                .samples = std::vector<uint8_t>(frames * 2 * 6, 0)});
       },
       48000, frames},
      {"Ogg Vorbis", encoded("libvorbis", 44100), 44100, frames},
      {"Opus", encoded("libopus", 48000), 48000, frames},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    c.write(temp / "in");
    const EncoderRun run = RunEncoder(temp, {temp / "in"});
    ASSERT_EQ(run.exit_code, 0) << c.name << ": " << run.output;
    const testing::DecodedSound sound = testing::DecodeMp3(temp / "in.mp3");
    EXPECT_EQ(sound.sample_rate, c.rate) << c.name;
    EXPECT_NEAR(sound.Frames(), c.frames, kFrame) << c.name;
  }
}

// An AIFC file with the given compression type and little- or big-endian samples.
void WriteAifc(const std::string& path, const std::string& compression, bool little_endian) {
  auto big32 = [](uint32_t v) {
    std::string s;
    for (int i = 3; i >= 0; --i)
      s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  const uint32_t frames = 44100;
  std::string comm = std::string("\x00\x02", 2) + big32(frames) + std::string("\x00\x10", 2);
  const std::vector<uint8_t> rate = testing::Extended(44100);
  comm.append(rate.begin(), rate.end());
  comm += compression + std::string("\x04none\x00", 6);
  std::vector<uint8_t> tone = testing::Tone(frames, 2, 44100, 12000, 12000);
  if (!little_endian) {
    for (size_t i = 0; i + 1 < tone.size(); i += 2)
      std::swap(tone[i], tone[i + 1]);
  }
  const std::string sound(tone.begin(), tone.end());
  const std::string chunks = "COMM" + big32(static_cast<uint32_t>(comm.size())) + comm + "SSND" +
                             big32(static_cast<uint32_t>(8 + sound.size())) + big32(0) + big32(0) +
                             sound;
  testing::WriteText(path,
                     "FORM" + big32(static_cast<uint32_t>(4 + chunks.size())) + "AIFC" + chunks);
}

TEST(BladeEnc, AifcWithEitherByteOrderAndRefusesCompressedSound) {
  for (const auto& [type, little] : {std::pair{"NONE", false}, {"twos", false}, {"sowt", true}}) {
    TempFolder temp;
    WriteAifc(temp / "in.aifc", type, little);
    const EncoderRun run = RunEncoder(temp, {temp / "in.aifc"});
    ASSERT_EQ(run.exit_code, 0) << type << run.output;
    const testing::DecodedSound sound = testing::DecodeMp3(temp / "in.mp3");
    EXPECT_NEAR(sound.Level(0), 12000 / std::sqrt(2.0), 800) << type << ": right byte order";
  }
  TempFolder temp;
  WriteAifc(temp / "in.aifc", "ima4", false);
  const EncoderRun run = RunEncoder(temp, {temp / "in.aifc"});
  EXPECT_EQ(run.exit_code, 255);
  EXPECT_NE(run.output.find(temp / "in.aifc"), std::string::npos) << run.output;
}

TEST(BladeEnc, FailuresExitWith255AndNameTheCause) {
  TempFolder temp;
  testing::WriteWave(temp / "slow.wav", {.sample_rate = 4000, .data_bytes = 16000});
  testing::WriteText(temp / "notes.txt", "just some words, not sound");
  WriteLeftTone(temp / "good.wav");
  // Half copied: its header says 20 s, 1,000 bytes are there.
  testing::WriteWave(temp / "cut.wav", {.data_bytes = 20 * 176'400});
  std::filesystem::resize_file(temp / "cut.wav", 1000);
  ASSERT_TRUE(testing::WriteEncoded(temp / "cut.flac", "flac", 44100, 10 * 44100));
  std::filesystem::resize_file(temp / "cut.flac",
                               std::filesystem::file_size(temp / "cut.flac") / 3);
  struct Case {
    std::vector<std::string> arguments;
    std::string named;
  };
  const Case cases[] = {
      {{"-100", temp / "good.wav"}, "100"},
      {{temp / "missing.wav"}, temp / "missing.wav"},
      {{temp / "slow.wav"}, temp / "slow.wav"},
      {{temp / "notes.txt"}, temp / "notes.txt"},
      {{temp / "cut.wav"}, temp / "cut.wav ends at 00:00 of 00:20"},
      {{temp / "cut.flac"}, " of 00:10"},
      {{}, "usage"},
  };
  for (const Case& c : cases) {
    const EncoderRun run = RunEncoder(temp, c.arguments);
    EXPECT_EQ(run.exit_code, 255) << c.named;
    EXPECT_NE(run.output.find(c.named), std::string::npos) << run.output;
  }
  EXPECT_FALSE(std::filesystem::exists(temp / "good.mp3")) << "a bad switch stops everything";

  // One bad input among good ones: the good ones are still encoded.
  const EncoderRun mixed = RunEncoder(temp, {temp / "slow.wav", temp / "good.wav"});
  EXPECT_EQ(mixed.exit_code, 255);
  EXPECT_TRUE(std::filesystem::exists(temp / "good.mp3"));
}

TEST(BladeEnc, OutputFolderAndDeletingTheSource) {
  TempFolder temp;
  std::filesystem::create_directory(temp / "out");
  WriteLeftTone(temp / "a.wav", 44100, 4410);
  WriteLeftTone(temp / "b.wav", 44100, 4410);
  ASSERT_EQ(RunEncoder(temp, {"-OUTDIR=" + (temp / "out"), temp / "a.wav"}).exit_code, 0);
  ASSERT_EQ(RunEncoder(temp, {"-OUTDIR=" + (temp / "out/"), "-DELETE", temp / "b.wav"}).exit_code,
            0);
  EXPECT_TRUE(std::filesystem::exists(temp / "out/a.mp3"));
  EXPECT_TRUE(std::filesystem::exists(temp / "out/b.mp3"));
  EXPECT_FALSE(std::filesystem::exists(temp / "a.mp3"));
  EXPECT_TRUE(std::filesystem::exists(temp / "a.wav"));
  EXPECT_FALSE(std::filesystem::exists(temp / "b.wav")) << "deleted once encoded";

  testing::WriteWave(temp / "c.wav", {.sample_rate = 4000, .data_bytes = 100});
  EXPECT_EQ(RunEncoder(temp, {"-DELETE", temp / "c.wav"}).exit_code, 255);
  EXPECT_TRUE(std::filesystem::exists(temp / "c.wav")) << "kept when it was not encoded";

  EXPECT_EQ(RunEncoder(temp, {"-OUTDIR=" + (temp / "nowhere"), temp / "a.wav"}).exit_code, 255);
  EXPECT_TRUE(std::filesystem::exists(temp / "a.wav"));
}

// The source goes only once its MP3 is whole on the disk: a sync or close of the MP3 that fails
// (as on a full disk or a network file system, where a write may fail only then) keeps it.
TEST(BladeEnc, DeletingTheSourceWaitsForAWholeOutput) {
  for (const char* failing : {"", "fsync", "close"}) {
    TempFolder temp;
    WriteLeftTone(temp / "a.wav", 44100, 4410);
    const EncoderRun run =
        RunEncoder(temp, {"-DELETE", temp / "a.wav"},
                   {{"LD_PRELOAD", TOLVANE_BUILD_DIR "/tests/libtolvane_fail_io.so"},
                    {"TOLVANE_FAIL_CALL", failing},
                    {"TOLVANE_FAIL_SUFFIX", ".mp3"},
                    {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"}});
    const bool fails = *failing != '\0';
    EXPECT_EQ(run.exit_code, fails ? 255 : 0) << failing << ": " << run.output;
    EXPECT_EQ(std::filesystem::exists(temp / "a.wav"), fails) << failing;
  }
}

TEST(BladeEnc, TheOutputGrowsWhileTheEncoderWorks) {
  TempFolder temp;
  // Ten minutes of CD sound take the encoder a few seconds.
  testing::WriteWave(temp / "long.wav",
                     {.samples = testing::Tone(600 * 44100, 2, 44100, 9000, 9000)});
  testing::ChildProcess encoder(kBladeEnc, {"-128", temp / "long.wav"});
  const std::string output = temp / "long.mp3";
  auto size = [&] {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(output, error);
    return error ? 0 : static_cast<int64_t>(bytes);
  };
  ASSERT_TRUE(testing::Eventually([&] { return size() > 0; }, testing::kHangLimit));
  const int64_t first = size();
  ASSERT_TRUE(testing::Eventually([&] { return size() > first; }, testing::kHangLimit));
  EXPECT_EQ(encoder.WaitFor(0ms), std::nullopt) << "still encoding when the size was read twice";
  EXPECT_EQ(encoder.WaitFor(120s), 0);
  EXPECT_GT(size(), 9'000'000) << "ten minutes at 128 kbps";
}

TEST(BladeEnc, CarriesTheVersionMarkerTheFrontEndReads) {
  posix::PosixFileSystem files;
  const settings::EncoderVersion version = settings::ReadEncoderVersion(files, kBladeEnc);
  EXPECT_EQ(version.outcome, settings::EncoderVersion::Outcome::Found);
  EXPECT_EQ(version.label, "v 1.00");
  EXPECT_GT(version.label, "v 0.80") << "newer than every version the front-end gates on";
}

}  // namespace
}  // namespace tolvane::encoder
