#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;

TEST(Launch, PassingOverEntries) {
  {
    // Declining the overwrite of the last entry ends the batch with Reset.
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    testing::WriteText(f.temp / "a.mp3", "old");
    f.system.dialogs.AnswerNext(MessageAnswer::No);
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.Status(0), "Completed");
    EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "Nothing to do!");
    EXPECT_EQ(f.Entry(0).DoneBytes, f.Entry(0).FileSize) << "counts as done";
  }
  {
    // A source that would be its own output is named in the message and passed over.
    EngineFixture f;
    f.blade.AddPath(f.Wave("song.mp3"));
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);  // its own output
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);  // nothing else to do
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.system.dialogs.Messages().at(0).text,
              "File song.mp3 would be replaced by its own MP3.\rIt was skipped.");
    EXPECT_EQ(f.system.dialogs.Messages().at(0).caption, "Error");
    EXPECT_EQ(f.Status(0), "Skipped");
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
      f.system.dialogs.AnswerNext(MessageAnswer::Ok);
      f.blade.Encode.UserClick();
      EXPECT_EQ(f.system.dialogs.Messages().back().text,
                "Input file not found.\r\rHandle for this situation\ris still not "
                "completed.\rRemove this file from queue.");
      EXPECT_EQ(f.Status(0), "Queued");
      EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled());
    }
  }
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.BladePath.SetText(f.temp / "no-encoder");
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.blade.Encode.UserClick();
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "BladeEnc not found. Check its path!");
    EXPECT_EQ(f.Status(0), "Queued") << "no row is touched";
  }
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    testing::WriteText(f.temp / "plain-file", "x");
    f.blade.OutputFolder.SetText(f.temp / "plain-file/out");
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);
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
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.blade.Encode.UserClick();
    ASSERT_FALSE(f.system.dialogs.Messages().empty());
    EXPECT_TRUE(f.system.dialogs.Messages().back().text.starts_with("The command line for a.wav"))
        << f.system.dialogs.Messages().back().text;
    EXPECT_EQ(f.Status(0), "Queued");
    EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled());
  }
}

// tolvane-batch --dry-run prints the command line the window's launch builds for the same file
// and options.
TEST(Launch, TheBatchToolBuildsTheWindowsCommandLine) {
  EngineFixture f;
  // The label a fresh window shows for this encoder, as the batch tool reads it too.
  f.blade.BEVersion.SetCaption("");
  f.blade.ShowEncoderVersion();
  f.blade.DefaultValues().bitrate = 192;
  f.blade.DefaultValues().stereo = 2;
  f.blade.DefaultValues().priority = 4;
  f.blade.CRCBit.SetDown(true);
  f.blade.CopyBit.SetDown(true);
  f.blade.OutputFolder.SetText(f.temp / "out/");
  f.blade.TreeMenu.FindByCaption("1")->Click();
  f.blade.AddPath(f.Wave("album/a.wav"));
  f.blade.Encode.UserClick();
  f.WaitUntilEnded();
  const std::vector<std::string> window = f.FakeArguments();
  ASSERT_FALSE(window.empty());

  testing::ChildProcess batch(
      TOLVANE_BUILD_DIR "/tolvane-batch",
      {"--dry-run", "-b", "192", "-m", "mono", "--priority", "higher", "--crc", "--copy", "-o",
       "out", "--tree", "1", "--encoder", testing::FakeEncoderControl::kProgram, "album/a.wav"},
      {{"XDG_CONFIG_HOME", f.temp / "batch-config"}}, f.temp / "dry-run.txt", f.temp.Path());
  ASSERT_EQ(batch.WaitFor(std::chrono::seconds(20)), 0);
  std::string line = testing::ReadText(f.temp / "dry-run.txt");
  ASSERT_TRUE(line.ends_with("\n")) << line;
  line.pop_back();
  std::vector<std::string> printed = platform::SplitCommandLine(line);
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.front(), testing::FakeEncoderControl::kProgram);
  printed.erase(printed.begin());
  EXPECT_EQ(printed, window);
}

}  // namespace
}  // namespace tolvane::app
