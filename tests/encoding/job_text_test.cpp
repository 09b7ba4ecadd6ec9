#include "encoding/job_text.h"

#include <gtest/gtest.h>

#include "platform/process.h"

namespace tolvane::encoding {
namespace {

queue::TFileData ExampleEntry(const std::string& source) {
  queue::TFileData e;
  e.FileName = source;
  e.Channels = 2;
  e.BitsPerSample = 16;
  e.SampleRate = 44100;
  e.CRCFlag = true;
  e.StereoMode = 2;
  e.Bitrate = 128;
  e.Priority = 2;
  return e;
}

TEST(CommandLine, TheDocumentedExampleInBothPathStyles) {
  const platform::Paths windows(platform::PathStyle::Windows);
  EXPECT_EQ(BuildCommandLine("C:\\Enc\\BladeEnc.exe", "v 0.90",
                             ExampleEntry("C:\\music\\rock\\song.wav"), "D:\\mp3\\rock\\", windows),
            "\"C:\\Enc\\BladeEnc.exe\" -QUIT -CRC -MONO -128 -PRIO=Lower "
            "-OUTDIR=\"D:\\mp3\\rock\" \"C:\\music\\rock\\song.wav\"");

  const platform::Paths posix(platform::PathStyle::Posix);
  EXPECT_EQ(BuildCommandLine("/opt/enc/bladeenc", "v 0.90", ExampleEntry("/music/rock/song.wav"),
                             "/srv/mp3/rock/", posix),
            "\"/opt/enc/bladeenc\" -QUIT -CRC -MONO -128 -PRIO=Lower -OUTDIR=\"/srv/mp3/rock\" "
            "\"/music/rock/song.wav\"");
}

TEST(CommandLine, SwitchesInTheirOrderAndVersionGates) {
  const platform::Paths posix(platform::PathStyle::Posix);
  queue::TFileData e = ExampleEntry("/m/a.wav");
  e.CRCFlag = false;
  e.StereoMode = 1;
  e.DeleteFlag = e.PrivateFlag = e.CopyFlag = e.CopyrightFlag = true;
  e.Priority = 5;
  e.Bitrate = 320;
  EXPECT_EQ(BuildCommandLine("/e", "v 1.00", e, "", posix),
            "\"/e\" -QUIT -SWAP -DELETE -PRIVATE -COPY -COPYRIGHT -320 -PRIO=Highest \"/m/a.wav\"");
  EXPECT_EQ(BuildCommandLine("/e", "v 0.75", e, "/out/", posix),
            "\"/e\" -QUIT -DELETE -PRIVATE -COPY -COPYRIGHT -320 -PRIO=Highest \"/m/a.wav\"")
      << "before 0.80 no -SWAP, before 0.76 no -OUTDIR";
  EXPECT_EQ(BuildCommandLine("/e", "", e, "/out/", posix),
            "\"/e\" -QUIT -DELETE -PRIVATE -COPY -COPYRIGHT -320 -PRIO=Highest \"/m/a.wav\"")
      << "an empty label is below every version";
  EXPECT_EQ(BuildCommandLine("/e", "v ?.??", e, "/", posix),
            "\"/e\" -QUIT -SWAP -DELETE -PRIVATE -COPY -COPYRIGHT -320 -PRIO=Highest -OUTDIR=\"/\" "
            "\"/m/a.wav\"")
      << "an unknown version counts as new; the root keeps its separator";
}

TEST(CommandLine, PathsWithQuotesAndBackslashesArriveUnchanged) {
  const platform::Paths posix(platform::PathStyle::Posix);
  const std::string odd_paths[] = {
      "/m/plain.wav", "/m/with space.wav",     "/m/say \"hi\".wav", "/m/back\\slash.wav",
      "/m/ends in\\", "/m/\" -DELETE \"x.wav", "/m/\\\"odd.wav"};
  for (const std::string& source : odd_paths) {
    // The encoder's own path round-trips as well as the source's.
    const std::string encoder = "/opt" + source;
    queue::TFileData e = ExampleEntry(source);
    const std::vector<std::string> arguments =
        platform::SplitCommandLine(BuildCommandLine(encoder, "v 1.00", e, "/out \"x\"/", posix));
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments.back(), source);
    EXPECT_EQ(arguments.front(), encoder);
    EXPECT_EQ(arguments[arguments.size() - 2], "-OUTDIR=/out \"x\"") << source;
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), "-DELETE"), 0) << source;
  }
}

TEST(CommandLine, SplittingByTheWindowsRules) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {R"("C:\Program Files\enc.exe" -a "b c" d)",
       {R"(C:\Program Files\enc.exe)", "-a", "b c", "d"}},
      {R"(prog a\\"b c" d)", {"prog", R"(a\b c)", "d"}},
      {R"(prog a\"b)", {"prog", R"(a"b)"}},
      {R"("/opt/a\"b" x)", {R"(/opt/a"b)", "x"}},
      {R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
      {R"(prog "a""b")", {"prog", R"(a"b)"}},
      {R"(prog -OUTDIR="D:\mp3" "x")", {"prog", R"(-OUTDIR=D:\mp3)", "x"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(platform::SplitCommandLine(line), expected) << line;
  }
}

TEST(ProgressText, SecondsToTime) {
  const std::pair<int64_t, const char*> cases[] = {{0, "00:00:00"},
                                                   {59, "00:00:59"},
                                                   {3661, "01:01:01"},
                                                   {360'000, "100:00:00"},
                                                   {180, "00:03:00"}};
  for (const auto& [seconds, text] : cases)
    EXPECT_EQ(SecondsToTime(seconds), text) << seconds;
  EXPECT_EQ(SpeedText(0), "0.00x");
  EXPECT_EQ(SpeedText(3.519), "3.52x");
  EXPECT_EQ(SpeedText(12.1), "12.10x");
  EXPECT_EQ(SpeedText(99.99), "99.99x");
  EXPECT_EQ(SpeedText(99.996), "100x") << "no \"100.00x\" that the panel cannot hold";
  EXPECT_EQ(SpeedText(205.37), "205x");
}

TEST(ProgressText, MeasureProgress) {
  queue::TFileData e = ExampleEntry("/m/a.wav");
  e.FileSize = 10'584'044;
  e.Duration = 60;
  const FileProgress none = MeasureProgress(0, e, 1000);
  EXPECT_EQ(none.done_bytes, 0);
  EXPECT_EQ(none.remaining, 0);
  EXPECT_EQ(none.speed, 0);

  const FileProgress quarter = MeasureProgress(240'001, e, 60'000);
  EXPECT_EQ(quarter.done_bytes, 2'646'011);
  EXPECT_NEAR(static_cast<double>(quarter.percent), 25.0, 0.0001);
  EXPECT_EQ(quarter.remaining, 180);
  EXPECT_NEAR(quarter.speed, 0.25, 1e-9);

  const FileProgress missing = MeasureProgress(-1, e, 5000);
  EXPECT_LE(missing.percent, 0) << "no output file reads as a size of -1";
}

}  // namespace
}  // namespace tolvane::encoding
