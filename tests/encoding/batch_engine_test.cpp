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

// Each way a job ends, seen through the loop: a stop goes back to the queue (the partial output
// deleted when so set), an encoder error halts the batch with a report and keeps what was
// written; an output still empty (the encoder could not read its input) goes.
TEST(BatchEngine, StopAndHaltEndTheJobAtOnce) {
  struct Case {
    const char* script;
    bool stop;
    bool delete_partial;
    const char* report;  // the last prompt line
    bool output_left;
  };
  const Case cases[] = {
      {"write 5000\nwait never\n", true, false, "stop", true},
      {"write 5000\nwait never\n", true, true, "stop", false},
      {"write 5000\nerror disk-full\nexit 255\n", false, true, "report EncoderHalted a.wav", true},
      {"write 5000\nexit 3\n", false, false, "report EncoderHalted a.wav", true},
      {"exit 255\n", false, false, "report EncoderHalted a.wav", false},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.Add("a.wav");
    f.host.options.delete_partial = c.delete_partial;
    f.fake.Script(c.script);
    f.engine.Encode();
    if (c.stop) {
      testing::WaitForSize(f.temp / "a.mp3", 5000);
      f.prompts.answers = {false};
      f.engine.Stop();
      EXPECT_EQ(f.display.stop_declined, 1) << "No: the job goes on";
      EXPECT_TRUE(f.engine.Running());
      f.engine.Stop();  // Yes
      EXPECT_TRUE(f.display.stopping) << c.script;
    }
    ASSERT_TRUE(f.DeliverEnd()) << c.script;
    EXPECT_EQ(f.Status(0), "Queued") << c.script;
    EXPECT_FALSE(f.engine.Running());
    EXPECT_FALSE(f.display.stopping);
    EXPECT_FALSE(f.Entry(0).Started);
    EXPECT_FALSE(f.display.finished) << "the next Encode continues";
    EXPECT_EQ(f.prompts.asked.back(), c.report);
    EXPECT_EQ(std::filesystem::exists(f.temp / "a.mp3"), c.output_left) << c.script;
    EXPECT_EQ(f.rows.Item(0).Hint(),
              std::string(c.script).find("error") != std::string::npos ? "disk-full" : "")
        << c.script << ": the encoder's own word on why, on its row";
  }
}

// The batch's elapsed time leaves out pauses and the time of a stopped job, and goes on from
// where it stood when the batch is started again.
TEST(BatchEngine, TheBatchClockLeavesOutPausesAndStoppedJobs) {
  EngineFixture f;
  f.Add("a.wav");
  f.Add("b.wav");
  f.fake.Script("write 100\nwait @/end-a\nexit 0\n");
  f.engine.Encode();
  testing::WaitForSize(f.temp / "a.mp3", 100);  // a has read its script
  f.Tick(20'000);
  EXPECT_EQ(f.display.elapsed, "00:00:20");

  f.fake.Script("write 100\nwait never\n");  // b's script, read when b starts
  f.fake.Go("end-a");
  ASSERT_TRUE(f.DeliverEnd());
  ASSERT_EQ(f.Status(1), "Preparing...");
  f.Tick(5000);
  EXPECT_EQ(f.display.elapsed, "00:00:25");

  f.engine.SetPaused(true);
  f.Tick();
  EXPECT_FALSE(f.display.elapsed_visible) << "the elapsed time blinks while paused";
  EXPECT_EQ(f.display.elapsed, "00:00:25") << "nothing else moves";
  f.Tick();
  EXPECT_TRUE(f.display.elapsed_visible);
  f.Tick();
  f.system.clock.Advance(27'000);
  f.engine.SetPaused(false);
  EXPECT_TRUE(f.display.elapsed_visible);
  f.Tick();
  EXPECT_EQ(f.display.elapsed, "00:00:26") << "30 s of pause left out";

  f.engine.Stop();
  ASSERT_TRUE(f.DeliverEnd());
  ASSERT_EQ(f.Status(1), "Queued");
  f.system.clock.Advance(100'000);
  f.fake.Script("write 100\nwait @/end-b\nexit 0\n");
  f.engine.Encode();  // b.mp3 is there: the overwrite question is answered Yes
  EXPECT_EQ(f.prompts.asked, (Lines{"stop", "overwrite b.wav"}));
  f.Tick();
  EXPECT_EQ(f.display.elapsed, "00:00:21") << "on from the 20 s before the stopped job";
  f.system.clock.Advance(30'000);
  f.fake.Go("end-b");
  ASSERT_TRUE(f.DeliverEnd());
  ASSERT_TRUE(f.engine.Finished());

  // After a Reset, work that leaves the queue (b's 31 s) is not in the clock, which starts anew.
  f.engine.Encode();
  EXPECT_EQ(f.display.elapsed, "00:00:00");
  f.engine.ForgetWork(static_cast<uint32_t>(f.Entry(1).EncodeTime) * 1000u);
  f.rows.Delete(1);
  f.fake.Script("write 100\nwait @/end-c\nexit 0\n");
  f.engine.Encode();
  f.Tick();
  EXPECT_EQ(f.display.elapsed, "00:00:01");
  f.fake.Go("end-c");
}

// The launch's questions, in their order, and what each answer does to the entry.
TEST(BatchEngine, TheLaunchAsksAndPassesOver) {
  struct Case {
    const char* name;
    bool existing_output;
    bool short_of_space;
    bool checks_off;
    std::deque<bool> answers;
    Lines asked;
    const char* status;  // of the first entry after the launch
    bool finished;       // Encode reads "Reset"
  };
  const Case cases[] = {
      {"overwrite yes", true, false, false, {true}, {"overwrite a.wav"}, "Preparing...", false},
      {"overwrite no", true, false, false, {false}, {"overwrite a.wav"}, "Completed", true},
      {"space, skip", false, true, false, {true}, {"space source a.wav"}, "Skipped", false},
      {"space, go on", false, true, false, {false}, {"space source a.wav"}, "Preparing...", false},
      {"checks off", true, true, true, {}, {}, "Preparing...", false},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.Add("a.wav");
    f.Add("b.wav");
    if (c.existing_output)
      testing::WriteText(f.temp / "a.mp3", "old");
    if (c.short_of_space)
      f.Entry(0).RequiredSize = int64_t{1} << 60;
    f.host.options.check_overwrite = !c.checks_off;
    f.host.options.check_space = !c.checks_off;
    f.prompts.answers = c.answers;
    f.fake.Script("write 100\nwait never\n");
    f.engine.Encode();
    EXPECT_EQ(f.prompts.asked, c.asked) << c.name;
    EXPECT_EQ(f.Status(0), c.status) << c.name;
    EXPECT_EQ(f.display.finished, c.finished) << c.name;
    const bool passed_over = std::string(c.status) != "Preparing...";
    EXPECT_EQ(f.Status(1), passed_over ? "Preparing..." : "Queued")
        << c.name << ": a passed-over entry lets the next one run";
    if (passed_over) {
      EXPECT_EQ(f.Entry(0).DoneBytes, f.Entry(0).FileSize) << c.name << ": counts as done";
    }
  }
}

// A launch that cannot go on reports why and leaves the batch idle at the entry.
TEST(BatchEngine, LaunchFailuresStopTheBatchAtTheEntry) {
  struct Case {
    const char* report;
    const char* status;
    bool output_made;  // the empty output is made just before the encoder starts
  };
  const auto setups = std::vector<std::pair<Case, std::function<void(EngineFixture&)>>>{
      {{"report EncoderNotFound", "Queued", false},
       [](EngineFixture& f) { f.host.encoder = f.temp / "no-encoder"; }},
      {{"report InputNotFound a.wav", "Queued", false},
       [](EngineFixture& f) { std::filesystem::remove(f.temp / "a.wav"); }},
      {{"report OutputFolderNotCreated a.wav", "Queued", false},
       [](EngineFixture& f) {
         testing::WriteText(f.temp / "plain-file", "x");
         f.host.options.output_folder = f.temp / "plain-file/out";
       }},
      {{"report CannotStart a.wav", "Queued", true},
       [](EngineFixture& f) {
         testing::WriteText(f.temp / "not-a-program", "x");  // no execute permission
         f.host.encoder = f.temp / "not-a-program";
       }},
      {{"report NothingToDo", "Completed in 00:00:00", false},
       [](EngineFixture& f) { f.queue.SetState(f.Entry(0), queue::EntryState::Completed(0, "")); }},
  };
  for (const auto& [c, setup] : setups) {
    EngineFixture f;
    f.Add("a.wav");
    setup(f);
    f.engine.Encode();
    EXPECT_EQ(f.prompts.asked, Lines{c.report});
    EXPECT_EQ(f.Status(0), c.status) << c.report;
    EXPECT_FALSE(f.engine.Running()) << c.report;
    EXPECT_GE(f.display.idle_count, 1) << c.report;
    EXPECT_EQ(f.loop.Watches(), 0) << c.report;
    EXPECT_EQ(std::filesystem::exists(f.temp / "a.mp3"), c.output_made) << c.report;
  }
}

// A source is never its own output: a WAVE file named .mp3, or a target folder that is (or links
// to) the source's own folder, keeps every byte whatever the answers and the checks.
TEST(BatchEngine, ASourceIsNeverItsOwnOutput) {
  struct Case {
    const char* name;
    const char* source;
    const char* output_folder;  // "@" for the test's folder, "link" for a link to it
    const char* version;
    bool check_overwrite;
  };
  const Case cases[] = {
      {"named .mp3, asked", "song.mp3", "", "v 1.00", true},
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
    EXPECT_EQ(f.host.logged[0],
              tag ? "the ID3 tag could not be written into " + (f.temp / "a.mp3")
                  : (f.temp / "a.mp3") + " could not be moved to " + (f.temp / "out/a.mp3"));
    EXPECT_EQ(f.Status(1), "Preparing...") << "the batch goes on";
    EXPECT_TRUE(std::filesystem::exists(f.temp / "a.mp3")) << "the MP3 stays where it is";
    ASSERT_TRUE(f.DeliverEnd());
    EXPECT_EQ(f.system.power.requests, 1) << "the end of the batch comes";
  }
}

TEST(BatchEngine, TreeLevelsAreCreatedBelowTheTargetFolder) {
  EngineFixture f;
  f.Add("a/b/c/song.wav");
  f.host.options.output_folder = f.temp / "out";
  f.host.options.tree_depth = 2;
  f.engine.Encode();
  EXPECT_EQ(f.display.output_folder, f.temp / "out/") << "the separator is added visibly";
  ASSERT_TRUE(f.DeliverEnd());
  const Lines arguments = f.fake.Arguments();
  EXPECT_TRUE(Has(arguments, "-OUTDIR=" + (f.temp / "out/b/c"))) << "no trailing separator";
  EXPECT_EQ(arguments.back(), f.temp / "a/b/c/song.wav");
  EXPECT_EQ(f.Entry(0).OutputPath, f.temp / "out/b/c/song.mp3");
  EXPECT_EQ(testing::SizeOf(f.temp / "out/b/c/song.mp3"), 1000);
  EXPECT_TRUE(f.Status(0).starts_with("Completed in "));
}

TEST(BatchEngine, OldEncodersWriteBesideTheSourceAndTheOutputIsMovedAfterwards) {
  EngineFixture f;
  f.host.options.version_label = "v 0.75";
  f.Add("music/song.wav");
  std::filesystem::create_directories(f.temp / "out");
  testing::WriteText(f.temp / "out/song.mp3", "an older file");
  f.host.options.output_folder = f.temp / "out/";
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
    queue::TFileData* entry = nullptr;
    f.queue.ProbeAndEnqueue(path, {.StereoMode = c.stereo_mode}, entry);
    f.engine.Encode();
    ASSERT_TRUE(f.DeliverEnd());
    const Lines arguments = f.fake.Arguments();
    for (const char* stereo : {"-SWAP", "-MONO", "-LEFTMONO", "-RIGHTMONO"}) {
      EXPECT_EQ(Has(arguments, stereo), std::string(stereo) == c.expected)
          << c.version << " mode " << c.stereo_mode << " " << stereo;
    }
  }
}

// A close while a job runs asks first; Yes stops the job, saves, and returns once the job has
// ended; a close nobody can answer does the same without asking.
TEST(BatchEngine, CloseWhileEncoding) {
  for (bool unattended : {false, true}) {
    EngineFixture f;
    f.Add("a.wav");
    f.Add("b.wav");
    f.fake.Script("write 100\nwait never\n");
    f.engine.Encode();
    // What arrives during the close's wait (a name handed over, with Autostart) starts nothing.
    const auto deliver = f.loop.on_wait;
    f.loop.on_wait = [&](unsigned ms) {
      deliver(ms);
      f.engine.Encode();
    };
    if (!unattended) {
      f.prompts.answers = {false};
      EXPECT_FALSE(f.engine.CloseQuery(false));
      EXPECT_EQ(f.display.stop_declined, 1);
      EXPECT_TRUE(f.engine.Running());
    }
    EXPECT_TRUE(f.engine.CloseQuery(unattended));
    EXPECT_FALSE(f.engine.Running()) << "the job ended, and no other started";
    EXPECT_EQ(f.Status(0), "Queued") << "a stopped job waits in the saved queue";
    EXPECT_EQ(f.Status(1), "Queued");
    EXPECT_EQ(f.host.saves, 1);
    EXPECT_EQ(f.prompts.asked, unattended ? Lines{} : (Lines{"close", "close"}));
  }
  EngineFixture idle;
  EXPECT_TRUE(idle.engine.CloseQuery(false));
  EXPECT_TRUE(idle.prompts.asked.empty()) << "nothing runs: no question";
}

TEST(BatchEngine, PowerOffAtTheEndSavesFirst) {
  EngineFixture f;
  f.Add("a.wav");
  f.host.options.on_end = EngineOptions::OnEnd::PowerOff;
  f.engine.Encode();
  ASSERT_TRUE(f.DeliverEnd());
  EXPECT_EQ(f.host.saves, 1);
  EXPECT_EQ(f.system.power.requests, 1);
  EXPECT_EQ(f.host.closes, 0);
}

}  // namespace
}  // namespace tolvane::encoding
