#include "encoder/command_line.h"

#include <gtest/gtest.h>

#include "encoder/encode_file.h"

namespace tolvane::encoder {
namespace {

TEST(EncoderCommandLine, SwitchesAreMatchedWithoutRegardToCase) {
  const ParsedCommandLine parsed =
      ParseCommandLine({"-quit", "-Crc", "-mono", "-DELETE", "-private", "-Copy", "-copyright",
                        "-192", "-prio=higher", "-OutDir=/srv/mp3", "/music/a.wav", "b.aiff"});
  ASSERT_EQ(parsed.error, "");
  const EncoderOptions& o = parsed.options;
  EXPECT_TRUE(o.crc);
  EXPECT_TRUE(o.delete_source);
  EXPECT_TRUE(o.private_bit);
  EXPECT_TRUE(o.copy);
  EXPECT_TRUE(o.copyright);
  EXPECT_EQ(o.channel_mode, ChannelMode::Mono);
  EXPECT_EQ(o.bitrate_kbps, 192);
  EXPECT_EQ(o.priority, Priority::Higher);
  EXPECT_EQ(o.output_folder, "/srv/mp3");
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"/music/a.wav", "b.aiff"}));
  EXPECT_EQ(ParseCommandLine({"-vbr=3", "a.wav"}).options.vbr_quality, 3);
  EXPECT_TRUE(ParseCommandLine({"-Loudness", "a.wav"}).options.loudness);
}

TEST(EncoderCommandLine, BadSwitchesAreNamed) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-100", "a.wav"}, "unsupported bitrate 100"},
      {{"-00128", "a.wav"}, "unsupported bitrate 00128"},
      {{"-99999999999999", "a.wav"}, "unsupported bitrate 99999999999999"},
      {{"-PRIO=Realtime", "a.wav"}, "unknown priority Realtime"},
      {{"-OUTDIR=", "a.wav"}, "-OUTDIR= names no folder"},
      {{"-VBR=10", "a.wav"}, "unsupported VBR quality 10"},
      {{"-FAST", "a.wav"}, "unknown switch -FAST"},
  };
  for (const auto& [arguments, message] : cases) {
    EXPECT_TRUE(ParseCommandLine(arguments).error.starts_with(message))
        << ParseCommandLine(arguments).error;
  }
}

TEST(EncoderCommandLine, OutputNames) {
  EXPECT_EQ(OutputPathFor("/music/song.wav", ""), "/music/song.mp3");
  EXPECT_EQ(OutputPathFor("/music/my.song.aiff", ""), "/music/my.song.mp3");
  EXPECT_EQ(OutputPathFor("/music/song.wav", "/srv/mp3"), "/srv/mp3/song.mp3");
  EXPECT_EQ(OutputPathFor("/music/song.wav", "/srv/mp3/"), "/srv/mp3/song.mp3");
  EXPECT_EQ(OutputPathFor("song", ""), "song.mp3");
  EXPECT_EQ(OutputPathFor("/my.music/song", ""), "/my.music/song.mp3");
}

}  // namespace
}  // namespace tolvane::encoder
