#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;

bool Has(const std::vector<std::string>& arguments, const std::string& argument) {
  return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
}

TEST(Launch, TreeLevelsAreCreatedBelowTheTargetFolder) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("a/b/c/song.wav"));
  f.blade.OutputFolder.SetText(f.temp / "out");
  f.blade.TreeButton.SetCaption("2");
  f.blade.Encode.UserClick();
  f.WaitUntilEnded();
  EXPECT_EQ(f.blade.OutputFolder.Text(), f.temp / "out/") << "the separator is added visibly";
  const std::vector<std::string> arguments = f.FakeArguments();
  EXPECT_TRUE(Has(arguments, "-OUTDIR=" + (f.temp / "out/b/c"))) << "no trailing separator";
  EXPECT_EQ(arguments.back(), f.temp / "a/b/c/song.wav");
  EXPECT_EQ(f.Entry(0).OutputPath, f.temp / "out/b/c/song.mp3");
  EXPECT_TRUE(std::filesystem::exists(f.temp / "out/b/c/song.mp3"));
  f.Tick();
  EXPECT_TRUE(f.Status(0).starts_with("Completed in "));
}

TEST(Launch, OldEncodersWriteBesideTheSourceAndTheOutputIsMovedAfterwards) {
  EngineFixture f;
  f.blade.BEVersion.SetCaption("v 0.75");
  f.blade.AddPath(f.Wave("music/song.wav"));
  std::filesystem::create_directories(f.temp / "out");
  testing::WriteText(f.temp / "out/song.mp3", "an older file");
  f.blade.OutputFolder.SetText(f.temp / "out/");
  f.system.dialogs.AnswerNext(MessageAnswer::Yes);  // the older file asks to be overwritten
  f.blade.Encode.UserClick();
  f.WaitUntilEnded();
  EXPECT_EQ(f.system.dialogs.Messages().at(0).text,
            "File song.wav is already compressed.\rOverwrite?");
  EXPECT_EQ(f.system.dialogs.Messages().at(0).caption, "Warning!");
  for (const std::string& argument : f.FakeArguments()) {
    EXPECT_FALSE(argument.starts_with("-OUTDIR")) << "0.75 knows no -OUTDIR";
  }
  EXPECT_EQ(f.Entry(0).OutputPath, f.temp / "music/song.mp3");
  f.Tick();
  EXPECT_FALSE(std::filesystem::exists(f.temp / "music/song.mp3"));
  EXPECT_EQ(testing::ReadText(f.temp / "out/song.mp3").size(), 1000u) << "the new one replaced it";
}

TEST(Launch, ChannelSwitchesFollowTheVersionAndTheSource) {
  struct Case {
    const char* version;
    int channels;
    int stereo_mode;
    const char* expected;  // the stereo switch, or "" for none
  };
  const Case cases[] = {
      {"v 1.00", 2, 1, "-SWAP"},     {"v 0.79", 2, 1, ""},           {"v 0.79", 2, 2, "-MONO"},
      {"v ?.??", 2, 3, "-LEFTMONO"}, {"v 1.00", 2, 4, "-RIGHTMONO"}, {"v 1.00", 1, 2, ""},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.blade.BEVersion.SetCaption(c.version);
    const std::string path = f.temp / "in.wav";
    testing::WriteWave(path, {.channels = static_cast<uint16_t>(c.channels), .data_bytes = 88'200});
    f.blade.AddPath(path);
    f.Entry(0).StereoMode = c.stereo_mode;
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    const std::vector<std::string> arguments = f.FakeArguments();
    for (const char* stereo : {"-SWAP", "-MONO", "-LEFTMONO", "-RIGHTMONO"}) {
      EXPECT_EQ(Has(arguments, stereo), std::string(stereo) == c.expected)
          << c.version << " mode " << c.stereo_mode << " " << stereo;
    }
  }
}

TEST(Launch, PassingOverEntries) {
  {
    // Declining the overwrite of the last entry ends the batch with Reset.
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    testing::WriteText(f.temp / "a.mp3", "old");
    f.system.dialogs.AnswerNext(MessageAnswer::No);
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.Status(0), "Completed");
    EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "Nothing to do!");
    EXPECT_EQ(f.Entry(0).DoneBytes, f.Entry(0).FileSize) << "counts as done";
  }
  {
    // Too little free space: skipped on Yes, never asked with the check off.
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.AddPath(f.Wave("b.wav"));
    f.Entry(0).RequiredSize = int64_t{1} << 60;
    f.system.dialogs.AnswerNext(MessageAnswer::Yes);
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.system.dialogs.Messages().at(0).text,
              "Probably there are not enough free space for encoding file\ra.wav\rSkip this file?");
    EXPECT_EQ(f.Status(0), "Skipped");
    EXPECT_EQ(f.Status(1), "Preparing...") << "the next one runs";
    f.WaitUntilEnded();

    EngineFixture off;
    off.blade.AddPath(off.Wave("a.wav"));
    off.Entry(0).RequiredSize = int64_t{1} << 60;
    off.blade.OffSpace.SetDown(true);
    off.blade.Encode.UserClick();
    EXPECT_TRUE(off.system.dialogs.Messages().empty());
    off.WaitUntilEnded();
  }
}

TEST(Launch, ErrorsStopTheBatchAtTheEntry) {
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    std::filesystem::remove(f.temp / "a.wav");
    for (int attempt = 0; attempt < 2; ++attempt) {
      f.blade.Encode.UserClick();
      EXPECT_EQ(f.system.dialogs.Messages().back().text,
                "Input file not found.\r\rHandle for this situation\ris still not "
                "completed.\rRemove this file from queue.");
      EXPECT_EQ(f.Status(0), "Queued");
      EXPECT_FALSE(f.blade.Engine().Timer.Enabled());
    }
  }
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.BladePath.SetText(f.temp / "no-encoder");
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "BladeEnc not found. Check its path!");
    EXPECT_EQ(f.Status(0), "Queued") << "no row is touched";
  }
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    testing::WriteText(f.temp / "plain-file", "x");
    f.blade.OutputFolder.SetText(f.temp / "plain-file/out");
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "Can't create output folder.");
    EXPECT_EQ(f.system.dialogs.Messages().back().caption, "Error!");
    EXPECT_EQ(f.Status(0), "Queued");
  }
  {
    // A command line beyond 10,240 characters is refused, not cut.
    EngineFixture f;
    std::string padding;
    for (int i = 0; i < 1900; ++i)
      padding += "./";  // each path under 4096, all three above 10,240
    f.blade.AddPath(f.Wave("a.wav"));
    std::filesystem::create_directories(f.temp / "out");
    f.blade.OutputFolder.SetText(f.temp.Path() + "/" + padding + "out/");
    f.blade.BladePath.SetText(std::string(TOLVANE_BUILD_DIR) + "/tests/" + padding +
                              "fake_bladeenc");
    queue::TFileData& entry = f.Entry(0);
    entry.FileName = f.temp.Path() + "/" + padding + "a.wav";
    f.blade.Encode.UserClick();
    ASSERT_FALSE(f.system.dialogs.Messages().empty());
    EXPECT_TRUE(f.system.dialogs.Messages().back().text.starts_with("The command line for a.wav"))
        << f.system.dialogs.Messages().back().text;
    EXPECT_EQ(f.Status(0), "Queued");
    EXPECT_FALSE(f.blade.Engine().Timer.Enabled());
  }
}

}  // namespace
}  // namespace tolvane::app
