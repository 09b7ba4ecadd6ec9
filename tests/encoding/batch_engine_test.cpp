#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tolvane::encoding {
namespace {

using Lines = std::vector<std::string>;

bool Has(const Lines& arguments, const std::string& argument) {
  return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
}

// The end of a job is handled as soon as the encoder ends: the next one starts at once, and the
// batch finishes without a single tick.
TEST(BatchEngine, AJobsEndIsHandledBeforeTheNextTick) {
  EngineFixture f;
  f.Add("a.wav");
  f.Add("b.wav");
  f.host.options.on_end = EngineOptions::OnEnd::Close;
  f.engine.Encode();
  EXPECT_EQ(f.Status(0), "Preparing...");
  EXPECT_TRUE(f.display.running);
  EXPECT_EQ(f.loop.Watches(), 1) << "the running encoder's end is watched";

  f.system.clock.Advance(2600);
  ASSERT_TRUE(f.DeliverEnd());
  EXPECT_EQ(f.Status(0), "Completed in 00:00:03") << "2.6 s, to the nearest second";
  EXPECT_EQ(f.Status(1), "Preparing...") << "the next job started at once";
  EXPECT_TRUE(f.Entry(0).Encoded);
  EXPECT_EQ(f.host.closes, 0);

  ASSERT_TRUE(f.DeliverEnd());
  EXPECT_TRUE(f.Status(1).starts_with("Completed in "));
  EXPECT_TRUE(f.display.finished);
  EXPECT_FALSE(f.engine.Running());
  EXPECT_FALSE(f.display.running);
  EXPECT_EQ(f.host.closes, 1) << "\"Close\" at the end of the batch";
  EXPECT_EQ(f.loop.Watches(), 0);
  EXPECT_TRUE(f.prompts.asked.empty());
}

// A source is never its own output: a WAVE file named .mp3, or a target folder that is (or links
// to) the source's own folder, keeps every byte whatever the checks. (The window's launch table
// has the case with the checks on, and its box.)
TEST(BatchEngine, ASourceIsNeverItsOwnOutput) {
  struct Case {
    const char* name;
    const char* source;
    const char* output_folder;  // "@" for the test's folder, "link" for a link to it
    const char* version;
    bool check_overwrite;
  };
  const Case cases[] = {
      {"named .mp3, unchecked", "song.mp3", "", "v 1.00", false},
      {"target is its folder", "song.mp3", "@", "v 1.00", false},
      {"target links to its folder", "song.mp3", "link", "v 1.00", false},
      {"old encoder moves onto it", "song.mp3", "@", "v 0.75", false},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    queue::TFileData& own = f.Add(c.source);
    f.Add("next.wav");
    const std::string before = testing::ReadText(own.FileName);
    std::filesystem::create_directory_symlink(f.temp.Path(), f.temp / "link");
    const std::string folder = c.output_folder;
    f.host.options.output_folder = folder.empty()  ? ""
                                   : folder == "@" ? f.temp.Path()
                                                   : f.temp / folder;
    f.host.options.version_label = c.version;
    f.host.options.check_overwrite = c.check_overwrite;
    f.engine.Encode();
    EXPECT_EQ(f.Status(0), "Skipped") << c.name;
    EXPECT_EQ(f.prompts.asked.front(), "report SourceIsOwnOutput song.mp3") << c.name;
    EXPECT_EQ(f.Status(1), "Preparing...") << c.name << ": the batch goes on";
    ASSERT_TRUE(f.DeliverEnd()) << c.name;
    EXPECT_EQ(testing::ReadText(own.FileName), before) << c.name << ": every byte kept";
  }
}

// What does not reach a finished MP3 (its tag, its move to the target folder of an old encoder)
// is said in its row and in the log, never in a box: the job counts as done, the batch goes on
// and its end (here a power-off) comes.
TEST(BatchEngine, ATagOrMoveThatFailsIsReportedWithoutABox) {
  for (const bool tag : {true, false}) {
    EngineFixture f;
    queue::TFileData& entry = f.Add("a.wav");
    f.Add("b.wav");
    f.host.options.on_end = EngineOptions::OnEnd::PowerOff;
    if (tag) {
      entry.HasTag = true;
      entry.TagTitle = "Song";
      f.files.failing_writes = "a.mp3";
    } else {
      f.host.options.version_label = "v 0.75";
      f.host.options.output_folder = f.temp / "out/";
      std::filesystem::create_directory(f.temp / "out");
      f.files.moves_fail = true;
    }
    f.engine.Encode();
    ASSERT_TRUE(f.DeliverEnd());
    EXPECT_TRUE(f.prompts.asked.empty()) << "no box";
    EXPECT_EQ(f.Status(0),
              tag ? "Completed in 00:00:00, tag not written" : "Completed in 00:00:00, not moved");
    ASSERT_EQ(f.host.logged.size(), 1u);
    EXPECT_EQ(f.host.logged[0], tag ? "the ID3 tag could not be written into " + (f.temp / "a.mp3")
                                    : (f.temp / "a.mp3") + " could not be moved to " +
                                          (f.temp / "out/a.mp3") + ": Operation not permitted");
    EXPECT_EQ(f.Status(1), "Preparing...") << "the batch goes on";
    EXPECT_TRUE(std::filesystem::exists(f.temp / "a.mp3")) << "the MP3 stays where it is";
    ASSERT_TRUE(f.DeliverEnd());
    EXPECT_EQ(f.system.power.requests, 1) << "the end of the batch comes";
  }
}

TEST(BatchEngine, TheTargetFolderAndItsTreeLevelsAreCreated) {
  EngineFixture f;
  f.Add("a/b/c/song.wav");
  f.host.options.output_folder = f.temp / "new/out";  // neither level is there yet
  f.host.options.tree_depth = 2;
  f.engine.Encode();
  EXPECT_EQ(f.display.output_folder, f.temp / "new/out/") << "the separator is added visibly";
  ASSERT_TRUE(f.DeliverEnd());
  const Lines arguments = f.fake.Arguments();
  EXPECT_TRUE(Has(arguments, "-OUTDIR=" + (f.temp / "new/out/b/c"))) << "no trailing separator";
  EXPECT_EQ(arguments.back(), f.temp / "a/b/c/song.wav");
  EXPECT_EQ(f.Entry(0).OutputPath, f.temp / "new/out/b/c/song.mp3");
  EXPECT_EQ(testing::SizeOf(f.temp / "new/out/b/c/song.mp3"), 1000);
  EXPECT_TRUE(f.Status(0).starts_with("Completed in "));
}

TEST(BatchEngine, OldEncodersWriteBesideTheSourceAndTheOutputIsMovedAfterwards) {
  EngineFixture f;
  f.host.options.version_label = "v 0.75";
  f.Add("music/song.wav");
  std::filesystem::create_directories(f.temp / "out");
  testing::WriteText(f.temp / "out/song.mp3", "an older file");
  f.host.options.output_folder = f.temp / "out/";
  f.prompts.answers = {true};
  f.engine.Encode();
  EXPECT_EQ(f.prompts.asked, Lines{"overwrite song.wav"});
  ASSERT_TRUE(f.DeliverEnd());
  for (const std::string& argument : f.fake.Arguments())
    EXPECT_FALSE(argument.starts_with("-OUTDIR")) << "0.75 knows no -OUTDIR";
  EXPECT_EQ(f.Entry(0).OutputPath, f.temp / "out/song.mp3") << "the entry names the moved MP3";
  EXPECT_FALSE(std::filesystem::exists(f.temp / "music/song.mp3"));
  EXPECT_EQ(testing::SizeOf(f.temp / "out/song.mp3"), 1000) << "the new one replaced it";
}

TEST(BatchEngine, ChannelSwitchesFollowTheVersionAndTheSource) {
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
    f.host.options.version_label = c.version;
    const std::string path = f.temp / "in.wav";
    testing::WriteWave(path, {.channels = static_cast<uint16_t>(c.channels), .data_bytes = 88'200});
    ASSERT_NE(f.queue.ProbeAndEnqueue(path, {.StereoMode = c.stereo_mode}).entry, nullptr);
    f.engine.Encode();
    ASSERT_TRUE(f.DeliverEnd());
    const Lines arguments = f.fake.Arguments();
    for (const char* stereo : {"-SWAP", "-MONO", "-LEFTMONO", "-RIGHTMONO"}) {
      EXPECT_EQ(Has(arguments, stereo), std::string(stereo) == c.expected)
          << c.version << " mode " << c.stereo_mode << " " << stereo;
    }
  }
}

}  // namespace
}  // namespace tolvane::encoding
