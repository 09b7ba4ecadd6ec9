#include <gtest/gtest.h>

#include <functional>

#include "encoding_window.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;

// The launch's questions, in their order, and what each answer does to the entry: a passed-over
// entry counts as done and lets the next one run; declining the overwrite shows "Reset".
TEST(Launch, PassingOverEntries) {
  const std::string kOverwrite = "File a.wav is already compressed.\rOverwrite?";
  const std::string kSpace =
      "Probably there are not enough free space for encoding file\ra.wav\rSkip this file?";
  const std::string kOwnOutput = "File song.mp3 would be replaced by its own MP3.\rIt was skipped.";
  struct Case {
    const char* name;
    const char* source;
    bool second;  // b.wav is queued after it
    bool existing_output;
    bool short_of_space;
    bool checks_off;
    std::vector<MessageAnswer> answers;
    std::vector<std::string> messages;
    const char* status;  // of the first entry after the launch
    const char* caption;
  };
  constexpr auto kYes = MessageAnswer::Yes, kNo = MessageAnswer::No, kOk = MessageAnswer::Ok;
  // clang-format off
  const Case cases[] = {
      {"overwrite yes", "a.wav", true, true, false, false, {kYes}, {kOverwrite}, "Preparing...", "Encode"},
      {"overwrite no", "a.wav", true, true, false, false, {kNo}, {kOverwrite}, "Completed", "Reset"},
      {"overwrite no, the last entry", "a.wav", false, true, false, false, {kNo, kOk},
       {kOverwrite, "Nothing to do!"}, "Completed", "Reset"},
      {"space, skip", "a.wav", true, false, true, false, {kYes}, {kSpace}, "Skipped", "Encode"},
      {"space, go on", "a.wav", true, false, true, false, {kNo}, {kSpace}, "Preparing...", "Encode"},
      {"checks off", "a.wav", true, true, true, true, {}, {}, "Preparing...", "Encode"},
      {"its own output", "song.mp3", true, false, false, false, {kOk}, {kOwnOutput}, "Skipped", "Encode"},
      {"its own output, the last entry", "song.mp3", false, false, false, false, {kOk, kOk},
       {kOwnOutput, "Nothing to do!"}, "Skipped", "Encode"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EncodingWindow f;
    f.blade.AddPath(f.Wave(c.source));
    const std::string source_bytes = testing::ReadText(f.temp / c.source);
    if (c.second)
      f.blade.AddPath(f.Wave("b.wav"));
    if (c.existing_output)
      testing::WriteText(f.temp / "a.mp3", "old");
    if (c.short_of_space)
      f.Entry(0).RequiredSize = int64_t{1} << 60;
    f.blade.OffOverWrite.SetDown(c.checks_off);
    f.blade.OffSpace.SetDown(c.checks_off);
    for (const MessageAnswer answer : c.answers)
      f.system.dialogs.AnswerNext(answer);
    f.Script("write 100\nwait never\n");
    f.blade.Encode.UserClick();
    std::vector<std::string> shown;
    for (const auto& message : f.system.dialogs.Messages())
      shown.push_back(message.text);
    EXPECT_EQ(shown, c.messages) << c.name;
    EXPECT_EQ(f.Status(0), c.status) << c.name;
    EXPECT_EQ(f.blade.Encode.Caption(), c.caption) << c.name;
    const bool passed_over = std::string(c.status) != "Preparing...";
    if (c.second) {
      EXPECT_EQ(f.Status(1), passed_over ? "Preparing..." : "Queued")
          << c.name << ": a passed-over entry lets the next one run";
    }
    if (passed_over) {
      EXPECT_EQ(f.Entry(0).DoneBytes, f.Entry(0).FileSize) << c.name << ": counts as done";
    }
    EXPECT_EQ(testing::ReadText(f.temp / c.source), source_bytes) << c.name << ": the source kept";
  }
}

// A launch that cannot go on says why in a box and leaves the batch idle at the entry, which
// reads "Queued" again (or as it was); a second Encode meets the same. Only an encoder that could
// not start leaves the empty output it was to write (a second Encode would ask about it).
TEST(Launch, ErrorsStopTheBatchAtTheEntry) {
  struct Case {
    const char* message;  // its start
    const char* caption;
    const char* status;
    bool output_made;
    std::function<void(EncodingWindow&)> setup;
  };
  const Case cases[] = {
      {"Input file not found.\r\rHandle for this situation\ris still not completed.\rRemove "
       "this file from queue.",
       "Error", "Queued", false,
       [](EncodingWindow& f) { std::filesystem::remove(f.temp / "a.wav"); }},
      {"BladeEnc not found. Check its path!", "Error", "Queued", false,
       [](EncodingWindow& f) { f.blade.BladePath.SetText(f.temp / "no-encoder"); }},
      {"Can't create output folder.", "Error!", "Queued", false,
       [](EncodingWindow& f) {
         testing::WriteText(f.temp / "plain-file", "x");
         f.blade.OutputFolder.SetText(f.temp / "plain-file/out");
       }},
      {"Can't create the MP3 file of a.wav.", "Error!", "Queued", false,
       [](EncodingWindow& f) {
         std::filesystem::create_directories(f.temp / "out/a.mp3");  // a folder in its place
         f.blade.OutputFolder.SetText(f.temp / "out");
       }},
      {"Fatal error!", "Error", "Queued", true,
       [](EncodingWindow& f) {
         testing::WriteText(f.temp / "not-a-program", "x");  // no execute permission
         f.blade.BladePath.SetText(f.temp / "not-a-program");
       }},
      {"Nothing to do!", "Warning", "Completed in 00:00:00", false,
       [](EncodingWindow& f) { f.SetState(0, queue::EntryState::Completed(0, "")); }},
      // A command line beyond 10,240 characters is refused, not cut.
      {"The command line for a.wav", "Error", "Queued", false,
       [](EncodingWindow& f) {
         std::string padding;
         for (int i = 0; i < 1900; ++i)
           padding += "./";  // each path under 4096, all three above 10,240
         std::filesystem::create_directories(f.temp / "out");
         f.blade.OutputFolder.SetText(f.temp.Path() + "/" + padding + "out/");
         f.blade.BladePath.SetText(std::string(TOLVANE_BUILD_DIR) + "/tests/" + padding +
                                   "fake_bladeenc");
         f.Entry(0).FileName = f.temp.Path() + "/" + padding + "a.wav";
       }},
  };
  for (const Case& c : cases) {
    EncodingWindow f;
    f.blade.AddPath(f.Wave("a.wav"));
    c.setup(f);
    for (int attempt = 0; attempt < (c.output_made ? 1 : 2); ++attempt) {
      f.system.dialogs.AnswerNext(MessageAnswer::Ok);
      f.blade.Encode.UserClick();
      ASSERT_EQ(f.system.dialogs.Messages().size(), attempt + 1u) << c.message;
      const auto& shown = f.system.dialogs.Messages().back();
      EXPECT_TRUE(shown.text.starts_with(c.message)) << shown.text;
      EXPECT_EQ(shown.caption, c.caption) << c.message;
      EXPECT_EQ(f.Status(0), c.status) << c.message;
      EXPECT_FALSE(f.blade.Engine().Running()) << c.message;
      EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled()) << c.message;
      EXPECT_TRUE(f.blade.Encode.Enabled()) << c.message << ": idle";
      EXPECT_EQ(f.loop.Watches(), 0) << c.message;
    }
    EXPECT_EQ(std::filesystem::exists(f.temp / "a.mp3"), c.output_made) << c.message;
  }
}

// tolvane-batch --dry-run prints the command line the window's launch builds for the same file
// and options.
TEST(Launch, TheBatchToolBuildsTheWindowsCommandLine) {
  EncodingWindow f;
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
  ASSERT_EQ(batch.WaitFor(testing::kHangLimit), 0);
  std::string line = testing::ReadText(f.temp / "dry-run.txt");
  ASSERT_TRUE(line.ends_with("\n")) << line;
  line.pop_back();
  line.erase(line.find("  # -> "));  // the MP3's place, a comment to a shell
  std::vector<std::string> printed = platform::SplitCommandLine(line);
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.front(), testing::FakeEncoderControl::kProgram);
  printed.erase(printed.begin());
  EXPECT_EQ(printed, window);
}

}  // namespace
}  // namespace tolvane::app
