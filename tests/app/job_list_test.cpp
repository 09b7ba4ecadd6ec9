#include <gtest/gtest.h>
#include <unistd.h>

#include "blade_fixture.h"
#include "encoding_window.h"
#include "settings/job_list.h"
#include "support/fake_encoder_control.h"

namespace tolvane::app {
namespace {

TEST(JobList, UnfinishedRowsAreWrittenWithTheirOptionsAndTags) {
  BladeFixture f;
  const std::string job_list = f.system.config / "tolvane.dat";
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    f.blade.AddPath(f.Wave(name));
  f.SetState(0, queue::EntryState::Completed(4, ""));
  f.SetState(2, queue::EntryState::Encoding(45));
  queue::TFileData& b = f.Entry(1);
  b.Priority = 4;
  b.Bitrate = 192;
  b.CRCFlag = true;
  b.StereoMode = 3;
  b.HasTag = true;
  b.TagTitle = "Café";
  b.TagYear = "1999";
  b.TagComment = "Comment";
  b.TagGenre = 7;
  f.blade.SaveListButton.SetDown(true);
  f.blade.Form.Close();

  const std::string expected =
      "TVFILES" + testing::Int32Bytes(static_cast<int32_t>(b.FileName.size())) + b.FileName +
      testing::Int32Bytes(4) + testing::Int32Bytes(192) + std::string("\0\0\0\1\0", 5) +
      testing::Int32Bytes(3) + std::string("\1", 1) + testing::Int32Bytes(5) + "Café" +
      testing::Int32Bytes(0) + testing::Int32Bytes(0) + testing::Int32Bytes(4) + "1999" +
      testing::Int32Bytes(7) + "Comment" + testing::Int32Bytes(7) +
      testing::Int32Bytes(static_cast<int32_t>(f.Entry(2).FileName.size())) + f.Entry(2).FileName +
      testing::Int32Bytes(2) + testing::Int32Bytes(128) + std::string(5, '\0') +
      testing::Int32Bytes(0) + std::string("\0", 1) + testing::Int32Bytes(-1);
  EXPECT_EQ(testing::ReadText(job_list), expected);

  // The next start restores both, with their own options; the file stays until that session's
  // close replaces it.
  testing::CountingEventLoop loop;
  ui::Application application(loop);
  testing::FixedWorkArea work_area({0, 0, 1280, 1000});
  ASSERT_TRUE(f.system.registry.Flush());
  TBlade next(WindowServices(f.system, application, work_area,
                             {.volumes = &f.volumes, .job_list = job_list}));
  next.FormCreate();
  ASSERT_EQ(next.Queue.Count(), 2);
  EXPECT_EQ(next.Queue.Item(0).Caption(), "b");
  EXPECT_EQ(next.Queue.Item(1).Caption(), "c");
  const queue::TFileData& restored = next.QueueModel().At(0);
  EXPECT_EQ(restored.Bitrate, 192);
  EXPECT_EQ(restored.Priority, 4);
  EXPECT_TRUE(restored.CRCFlag);
  EXPECT_EQ(restored.StereoMode, 3);
  EXPECT_EQ(restored.RequiredSize, 1'440'006) << "the expected size follows the bitrate";
  EXPECT_EQ(restored.TagComment, "Comment");
  EXPECT_EQ(restored.TagTitle, "Café") << "as the entry held it";
  EXPECT_EQ(next.Queue.Item(0).StateIndex(), 5) << "the tag mark";
  EXPECT_EQ(next.Queue.Item(1).StateIndex(), -1);
  next.Queue.Item(0).SetSelected(true);
  loop.ProcessMessages();
  EXPECT_EQ(next.Mp3BitsButton.Caption(), " _s  ___") << "its own option bits show";
  EXPECT_EQ(testing::ReadText(job_list), expected) << "kept while the session runs";

  // A save that cannot be written says so and leaves the last list whole.
  std::filesystem::create_directory(job_list + ".tmp");
  next.SaveListButton.SetDown(true);
  f.system.dialogs.AnswerNext(ui::MessageAnswer::Ok);
  next.Form.Close();
  EXPECT_EQ(f.system.dialogs.Messages().back().text,
            "Failed to save the job list to '" + job_list + "'");
  EXPECT_EQ(testing::ReadText(job_list), expected);
}

// With "Job save" on, the file follows the queue while the program runs, at the timer's tick:
// entries added, a job finished, an entry removed. With it off, nothing is written.
TEST(JobList, TheFileFollowsTheQueueWhileTheProgramRuns) {
  EncodingWindow f;
  const std::string job_list = f.system.config / "tolvane.dat";
  f.blade.AddPath(f.Wave("a.wav"));
  EXPECT_FALSE(f.blade.JobListTimer.Enabled()) << "Job save is off";
  f.blade.SaveListButton.UserClick();
  ASSERT_TRUE(f.blade.SaveListButton.Down());
  EXPECT_TRUE(f.blade.JobListTimer.Enabled()) << "turned on, it follows at once";
  f.blade.JobListTimer.Fire();
  f.blade.AddPath(f.Wave("b.wav"));
  ASSERT_TRUE(f.blade.JobListTimer.Enabled()) << "written at the next tick, not at once";
  EXPECT_EQ(f.SavedPaths(), std::vector<std::string>{f.temp / "a.wav"});
  f.blade.JobListTimer.Fire();
  EXPECT_FALSE(f.blade.JobListTimer.Enabled());
  EXPECT_EQ(f.SavedPaths(), (std::vector<std::string>{f.temp / "a.wav", f.temp / "b.wav"}));

  f.Script("write 100\nwait @/go\nexit 0\n");
  f.blade.EncodeClick();
  f.Tick();
  f.blade.JobListTimer.Fire();  // a started, which the file follows
  f.Tick();                     // progress alone writes nothing
  EXPECT_FALSE(f.blade.JobListTimer.Enabled());
  f.Go("go");
  f.WaitUntilEnded();
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));  // a ends, b starts
  f.blade.JobListTimer.Fire();
  EXPECT_EQ(f.SavedPaths(), std::vector<std::string>{f.temp / "b.wav"}) << "a is finished";

  f.WaitUntilEnded();
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  f.blade.JobListTimer.Fire();
  EXPECT_FALSE(std::filesystem::exists(job_list)) << "nothing unfinished: no file";

  // Reset queues both again; an option chosen and a tag assigned reach the file as well.
  f.blade.EncodeClick();
  ASSERT_EQ(f.Status(0), "Queued");
  f.blade.JobListTimer.Fire();
  EXPECT_EQ(f.SavedPaths(), (std::vector<std::string>{f.temp / "a.wav", f.temp / "b.wav"}));
  f.blade.Queue.Item(1).SetSelected(true);
  f.blade.BitrateMenu.FindByCaption("192kbps")->Click();
  ASSERT_TRUE(f.blade.JobListTimer.Enabled());
  f.blade.JobListTimer.Fire();
  f.system.dialogs.ActInNextForm([&](ui::Form&) {
    f.blade.IDForm().IDArtist.SetText("Someone");
    f.blade.IDForm().IDAssign.Click();
  });
  f.blade.IDButton.Click();
  ASSERT_TRUE(f.blade.JobListTimer.Enabled());
  f.blade.JobListTimer.Fire();
  const std::vector<settings::JobRecordRead> saved = f.SavedQueue();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[1].fields.Bitrate, 192);
  EXPECT_EQ(saved[1].fields.TagArtist, "Someone");
}

TEST(JobList, NoFileWhenNothingIsUnfinished) {
  for (const bool any_rows : {false, true}) {
    BladeFixture f;
    const std::string job_list = f.system.config / "tolvane.dat";
    testing::WriteText(job_list, "left from before");
    if (any_rows) {
      f.blade.AddPath(f.Wave("a.wav"));
      f.SetState(0, queue::EntryState::Completed(1, ""));
    }
    f.blade.SaveListButton.SetDown(true);
    f.blade.Form.Close();
    EXPECT_FALSE(std::filesystem::exists(job_list)) << (any_rows ? "all completed" : "empty");
    EXPECT_FALSE(std::filesystem::exists(job_list + ".tmp"));
  }
}

struct RestoreCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> captions;
  // The first restored entry's tag title, when the record has a tag.
  std::string title = {};
};

TEST(JobList, DamagedAndShortFilesRestoreWhatCanBeRead) {
  BladeFixture probe;
  const std::string a = probe.Wave("a.wav");
  const std::string b = probe.Wave("b.wav");
  // The tag block after its title: empty artist, album, year and comment, and a genre.
  const std::string tag_rest = testing::Int32Bytes(0) + testing::Int32Bytes(0) +
                               testing::Int32Bytes(0) + testing::Int32Bytes(0) +
                               testing::Int32Bytes(3);
  auto record = [](const std::string& path) {
    return testing::Int32Bytes(static_cast<int32_t>(path.size())) + path + testing::Int32Bytes(2) +
           testing::Int32Bytes(128) + std::string(5, '\0') + testing::Int32Bytes(0) +
           std::string(1, '\0');
  };
  const RestoreCase cases[] = {
      {"magic and end mark", "TVFILES" + testing::Int32Bytes(-1), {}},
      {"wrong magic", "TVFILEZ" + record(a) + testing::Int32Bytes(-1), {}},
      {"a deleted input is skipped",
       "TVFILES" + record(probe.temp / "gone.wav") + record(b) + testing::Int32Bytes(-1),
       {"b"}},
      {"no end mark", "TVFILES" + record(a) + record(b), {"a", "b"}},
      {"cut inside a record", "TVFILES" + record(a) + record(b).substr(0, 20), {"a"}},
      {"a length past the end",  // read at once, without sizing anything by it
       "TVFILES" + record(a) + testing::Int32Bytes(2'147'483'647) + "xyz",
       {"a"}},
      {"a negative length", "TVFILES" + record(a) + testing::Int32Bytes(-7) + record(b), {"a"}},
      {"an ISO-8859-1 title of the earlier program, longer than its field",
       "TVFILES" + record(a).substr(0, record(a).size() - 1) + "\1" + testing::Int32Bytes(34) +
           "Caf\xE9 " + std::string(29, 'x') + tag_rest + testing::Int32Bytes(-1),
       {"a"},
       "Caf\xC3\xA9 " + std::string(25, 'x')},
  };
  for (const RestoreCase& c : cases) {
    testing::CountingEventLoop loop;
    ui::Application application(loop);
    testing::FixedWorkArea work_area({0, 0, 1280, 1000});
    testing::SystemServices system;
    const std::string job_list = system.config / "tolvane.dat";
    testing::WriteText(job_list, c.bytes);
    EXPECT_TRUE(system.registry.WriteString("SOFTWARE\\Orvik\\Tolvane", "Savelist", "1"));
    TBlade blade(WindowServices(system, application, work_area,
                                {.volumes = &probe.volumes, .job_list = job_list}));
    blade.FormCreate();
    std::vector<std::string> captions;
    for (int i = 0; i < blade.Queue.Count(); ++i)
      captions.push_back(blade.Queue.Item(i).Caption());
    EXPECT_EQ(captions, c.captions) << c.name;
    if (!c.title.empty()) {
      EXPECT_EQ(blade.QueueModel().At(0).TagTitle, c.title) << c.name;
    }
    EXPECT_TRUE(std::filesystem::exists(job_list)) << c.name << ": kept until the close";
    EXPECT_TRUE(system.dialogs.Messages().empty()) << c.name;
  }
}

// The restored batch starts at once; whether its first launch succeeds or stops on an error, the
// title stays the program's.
TEST(JobList, AutostartRunsWhenEntriesWereRestored) {
  for (const bool encoder_there : {true, false}) {
    BladeFixture probe;
    const std::string a = probe.Wave("a.wav");
    testing::CountingEventLoop loop;
    ui::Application application(loop);
    testing::FixedWorkArea work_area({0, 0, 1280, 1000});
    testing::SystemServices system;
    const std::string job_list = system.config / "tolvane.dat";
    testing::WriteText(job_list, "TVFILES" + testing::Int32Bytes(static_cast<int32_t>(a.size())) +
                                     a + testing::Int32Bytes(2) + testing::Int32Bytes(128) +
                                     std::string(5, '\0') + testing::Int32Bytes(0) +
                                     std::string(1, '\0') + testing::Int32Bytes(-1));
    EXPECT_TRUE(system.registry.WriteString("SOFTWARE\\Orvik\\Tolvane", "Savelist", "1"));
    EXPECT_TRUE(system.registry.WriteString("SOFTWARE\\Orvik\\Tolvane", "Autostart", "1"));
    EXPECT_TRUE(system.registry.WriteString(
        "SOFTWARE\\Orvik\\Tolvane", "BladePath",
        encoder_there ? TOLVANE_BUILD_DIR "/tests/fake_bladeenc" : TOLVANE_BUILD_DIR "/none"));
    application.SetTitle("Tolvane");
    if (!encoder_there)
      system.dialogs.AnswerNext(ui::MessageAnswer::Ok);
    TBlade blade(WindowServices(system, application, work_area,
                                {.volumes = &probe.volumes, .job_list = job_list}));
    blade.FormCreate();
    EXPECT_EQ(application.Title(), "Tolvane");
    EXPECT_EQ(blade.Title().SavedTitle(), "Tolvane");
    if (!encoder_there) {
      EXPECT_EQ(system.dialogs.Messages().at(0).text, "BladeEnc not found. Check its path!");
      continue;
    }
    EXPECT_TRUE(blade.Engine().ProgressTimer().Enabled()) << "Encode was pressed during the start";
    EXPECT_EQ(blade.Queue.Item(0).SubItem(0), "Preparing...");
    testing::EndAndReap(blade.Engine().RunningChild());
  }
}

// Settings that cannot be saved are reported; the file keeps what it held, and the job list of
// the last run stays too (it is written only after the settings).
TEST(JobList, AFailedSettingsSaveIsReportedAndKeepsTheFiles) {
  BladeFixture f;
  const std::string job_list = f.system.config / "tolvane.dat";
  const std::string settings = f.system.config / "HKEY_CURRENT_USER.reg";
  EXPECT_TRUE(f.system.registry.WriteString("SOFTWARE\\Orvik\\Tolvane", "Bitrate", "192"));
  ASSERT_TRUE(f.system.registry.Flush());
  const std::string before = testing::ReadText(settings);
  testing::WriteText(job_list, "TVFILES" + testing::Int32Bytes(-1));
  f.blade.AddPath(f.Wave("a.wav"));
  f.blade.SaveListButton.SetDown(true);
  std::filesystem::create_directory(settings + "." + std::to_string(::getpid()) +
                                    ".tmp");  // the new text has nowhere to go
  f.system.dialogs.AnswerNext(ui::MessageAnswer::Ok);
  f.blade.Form.Close();
  ASSERT_FALSE(f.system.dialogs.Messages().empty());
  EXPECT_EQ(f.system.dialogs.Messages().back().text, "Failed to set data for 'Tolvane'");
  EXPECT_EQ(testing::ReadText(settings), before);
  EXPECT_EQ(testing::ReadText(job_list), "TVFILES" + testing::Int32Bytes(-1));
  std::filesystem::remove(settings + "." + std::to_string(::getpid()) + ".tmp");
}

}  // namespace
}  // namespace tolvane::app
