#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "blade_fixture.h"
#include "settings/settings_store.h"
#include "support/child_process.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;
using ui::MessageIcon;

constexpr const char* kUnsupported = "There were unsupported files, they were not included.";

TEST(AddingFiles, TheAddDialogQueuesWhatItCanAndReportsTheRestOnce) {
  BladeFixture f;
  const std::string a = f.Wave("rec/live/a.wav");
  const std::string b = f.Wave("rec/live/b.wav");
  const std::string slow = f.temp / "rec/live/slow.wav";
  testing::WriteWave(slow, {.sample_rate = 22050, .data_bytes = 1000});
  f.system.dialogs.ChooseFilesNext(std::vector<std::string>{a, slow, b});
  f.system.dialogs.AnswerNext(MessageAnswer::Ok);
  f.blade.Open.UserClick();

  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.system.dialogs.Messages()[0].text, kUnsupported);
  EXPECT_EQ(f.system.dialogs.Messages()[0].caption, "Error");
  EXPECT_EQ(f.system.dialogs.Messages()[0].icon, MessageIcon::Error);
  EXPECT_EQ(f.brought_to_front, 1);
  EXPECT_FALSE(f.blade.Open.Down()) << "released after the dialog";
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "002") << "the totals follow";

  const ui::OpenFileRequest& request = f.system.dialogs.FileRequests().at(0);
  EXPECT_EQ(request.title, "Open");
  EXPECT_EQ(request.filter, "Applicable audio|*.wav;*.aiff;*.aif");
  EXPECT_TRUE(request.multiple);
  EXPECT_TRUE(request.must_exist);
  EXPECT_EQ(request.initial_folder, "") << "nothing remembered yet: the current folder";
  EXPECT_EQ(f.system.registry.ReadString(settings::kSettingsKey, "Path").text, f.temp / "rec/live");

  // Added again: nothing new, no message, but the window comes to the front.
  f.system.dialogs.ChooseFilesNext(std::vector<std::string>{a});
  f.blade.FilesMenu.FindByName("AddFile")->Click();
  EXPECT_EQ(f.blade.Queue.Count(), 2);
  EXPECT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.brought_to_front, 2);
}

TEST(AddingFiles, TheRememberedFolderFallsBackToItsParentAndCancelWritesNothing) {
  BladeFixture f;
  const std::string a = f.Wave("rec/live/a.wav");
  f.system.dialogs.ChooseFilesNext(std::vector<std::string>{a});
  f.blade.OpenClick();
  std::filesystem::remove_all(f.temp / "rec/live");

  f.system.dialogs.ChooseFilesNext(std::nullopt);
  f.blade.OpenClick();
  EXPECT_EQ(f.system.dialogs.FileRequests().at(1).initial_folder, f.temp / "rec/");
  EXPECT_EQ(f.system.registry.ReadString(settings::kSettingsKey, "Path").text, f.temp / "rec/live")
      << "a cancelled dialog leaves the value";
  EXPECT_TRUE(f.system.dialogs.Messages().empty());
  EXPECT_EQ(f.brought_to_front, 0);

  const std::string root_file = "/tolvane-no-such-file.wav";
  f.system.dialogs.ChooseFilesNext(std::vector<std::string>{root_file});
  f.system.dialogs.AnswerNext(MessageAnswer::Ok);
  f.blade.OpenClick();
  EXPECT_EQ(f.system.registry.ReadString(settings::kSettingsKey, "Path").text, "/")
      << "a root keeps its /";
}

TEST(AddingFiles, AFolderIsScannedSubfoldersFirst) {
  BladeFixture f;
  std::filesystem::create_directories(f.temp / "A/B/C");
  f.Wave("A/1.wav");
  testing::WriteAiff(f.temp / "A/B/2.aiff", {.frames = 100});
  testing::WriteAiff(f.temp / "A/B/3.AIF", {.frames = 100});
  f.Wave("A/B/C/4.WAV");
  f.Wave("A/0.wav");
  std::filesystem::create_directory_symlink(f.temp / "A", f.temp / "A/B/back");
  testing::WriteText(f.temp / "A/readme.txt", "not audio");

  // The window is drawn before the scan, and nothing else waiting (input, another conversation,
  // a job's end) is run meanwhile.
  int repaints = 0;
  const platform::Subscription repainted =
      f.application.RepaintRequested.Connect([&] { ++repaints; });
  bool waiting_ran = false;
  f.loop.Post([&] { waiting_ran = true; });
  f.blade.AddPath(f.temp / "A");
  EXPECT_EQ(repaints, 1);
  EXPECT_FALSE(waiting_ran);
  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"4", "3", "2", "0", "1"}))
      << "depth first, then .wav before .aif before .aiff; a link back up is scanned once";
  EXPECT_TRUE(f.system.dialogs.Messages().empty()) << "other files are not looked at";
  EXPECT_EQ(f.brought_to_front, 0) << "the intake does not raise the window";

  f.blade.AddPath(f.temp / "A/");
  EXPECT_EQ(f.blade.Queue.Count(), 5) << "all queued already; no message for duplicates";
  EXPECT_TRUE(f.system.dialogs.Messages().empty());
}

TEST(AddingFiles, AutostartPressesEncodeAfterEveryBatch) {
  BladeFixture f;
  f.blade.Autostart.SetDown(true);
  f.system.dialogs.ChooseFilesNext(std::nullopt);
  f.system.dialogs.AnswerNext(MessageAnswer::Ok);
  f.blade.OpenClick();
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u) << "a cancelled Add still presses Encode";
  EXPECT_EQ(f.system.dialogs.Messages()[0].text, "BladeEnc not found. Check its path!");

  f.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/tests/fake_bladeenc");
  f.blade.AddPath(f.Wave("a.wav"));
  EXPECT_TRUE(f.blade.Engine().ProgressTimer().Enabled()) << "the added file is being encoded";
  EXPECT_EQ(f.blade.Queue.Item(0).SubItem(0), "Preparing...");
  testing::Eventually([&] { return f.blade.Engine().RunningChild()->ExitCode() != 259; },
                      testing::kHangLimit);
}

// Names given by the intake that add nothing: each says why, at once (a FIFO or a device is
// never opened to wait for a writer), and the batch's end steps run all the same (Autostart).
TEST(AddingFiles, NamesThatAddNothing) {
  struct Case {
    const char* name;
    const char* message;  // "" for none
  };
  const Case cases[] = {
      {"empty", ""},
      {"missing", "File or folder not found:\r@/missing"},
      {"notes.txt", kUnsupported},
      {"fifo.wav", kUnsupported},
  };
  for (const Case& c : cases) {
    BladeFixture f;
    std::filesystem::create_directory(f.temp / "empty");
    testing::WriteText(f.temp / "notes.txt", "words");
    ASSERT_EQ(::mkfifo((f.temp / "fifo.wav").c_str(), 0600), 0);
    f.blade.Autostart.SetDown(true);
    if (*c.message != '\0')
      f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.blade.AddPath(f.temp / c.name);
    EXPECT_EQ(f.blade.Queue.Count(), 0) << c.name;
    ASSERT_FALSE(f.system.dialogs.Messages().empty()) << c.name;
    EXPECT_EQ(f.system.dialogs.Messages().back().text, "BladeEnc not found. Check its path!")
        << c.name << ": Autostart pressed Encode";
    std::string expected = c.message;
    if (const size_t at = expected.find('@'); at != std::string::npos)
      expected.replace(at, 1, f.temp.Path());
    if (expected.empty()) {
      EXPECT_EQ(f.system.dialogs.Messages().size(), 1u) << c.name;
    } else {
      ASSERT_EQ(f.system.dialogs.Messages().size(), 2u) << c.name;
      EXPECT_EQ(f.system.dialogs.Messages()[0].text, expected);
    }
  }
}

// Files and folders dropped on the window are queued in the order given, a folder with its
// subfolders; what cannot be queued is reported once.
TEST(AddingFiles, DroppedFilesAndFolders) {
  BladeFixture f;
  const std::string a = f.Wave("a.wav");
  f.Wave("folder/sub/deep.wav");
  f.Wave("folder/inside.wav");
  const std::string b = f.Wave("b.wav");
  f.blade.Form.OnDropFiles({a, f.temp / "folder", b});
  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"a", "deep", "inside", "b"}));
  EXPECT_TRUE(f.system.dialogs.Messages().empty());
  EXPECT_EQ(f.brought_to_front, 0);

  // A name that is not there is said as the intake says it; the others go on.
  f.system.dialogs.AnswerNext(MessageAnswer::Ok);
  f.blade.Form.OnDropFiles({"https://example.org/song.wav", a});
  EXPECT_EQ(f.blade.Queue.Count(), 4);
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.system.dialogs.Messages()[0].text,
            "File or folder not found:\rhttps://example.org/song.wav");
  EXPECT_EQ(f.brought_to_front, 1) << "a is queued already";
}

// What the window takes follows its encoder. The bundled one (by its version marker) reads FLAC,
// Ogg and Opus too, by every way in (the Add dialog, a drop, the intake, a folder), and each entry
// starts with its source's tag; an outside encoder refuses them, naming each with the reason.
TEST(AddingFiles, TheBundledEncodersSourcesByEveryWayIn) {
  const std::function<void(BladeFixture&, const std::string&)> ways[] = {
      [](BladeFixture& f, const std::string& path) {
        f.system.dialogs.ChooseFilesNext(std::vector<std::string>{path});
        f.blade.Open.UserClick();
      },
      [](BladeFixture& f, const std::string& path) { f.blade.Form.OnDropFiles({path}); },
      [](BladeFixture& f, const std::string& path) { f.blade.AddPath(path); },
      [](BladeFixture& f, const std::string&) { f.blade.AddPath(f.temp / "album"); }};
  for (const bool bundled : {true, false}) {
    for (size_t way = 0; way < std::size(ways); ++way) {
      SCOPED_TRACE("way " + std::to_string(way) + (bundled ? ", bundled" : ", outside"));
      BladeFixture f;
      f.blade.BEVersion.SetCaption(bundled ? "v 1.00" : "v 0.94");
      std::filesystem::create_directory(f.temp / "album");
      const std::string path = f.temp / "album/Песня.opus";
      ASSERT_TRUE(testing::WriteEncoded(path, "libopus", 48000, 48000 * 3,
                                        {{"title", "Группа крови"}, {"date", "1988-01-04"}}));
      if (!bundled)
        f.system.dialogs.AnswerNext(MessageAnswer::Ok);
      ways[way](f, path);
      if (way == 0) {
        EXPECT_EQ(f.system.dialogs.FileRequests().at(0).filter,
                  bundled ? "Applicable audio|*.wav;*.aiff;*.aif;*.flac;*.ogg;*.oga;*.opus"
                          : "Applicable audio|*.wav;*.aiff;*.aif");
      }
      if (!bundled) {
        EXPECT_EQ(f.blade.Queue.Count(), 0);
        EXPECT_EQ(f.system.dialogs.Messages().at(0).text,
                  std::string(kUnsupported) + "\rПесня.opus: needs the bundled encoder");
        continue;
      }
      ASSERT_EQ(f.blade.Queue.Count(), 1);
      const queue::TFileData& e = f.Entry(0);
      EXPECT_EQ(std::tuple(e.Duration, e.SampleRate, e.HasTag, e.TagTitle, e.TagYear),
                std::tuple(3, 48000, true, "Группа крови", "1988"));
      EXPECT_EQ(f.blade.Queue.Item(0).StateIndex(), queue::kTagImage) << "the tag mark";
    }
  }
  // A WAVE file's LIST-INFO comes along with any encoder; one without tags starts with none.
  BladeFixture f;
  ASSERT_TRUE(
      testing::WriteEncoded(f.temp / "take.wav", "pcm_s16le", 44100, 4410, {{"title", "Кукушка"}}));
  f.blade.AddPath(f.temp / "take.wav");
  f.blade.AddPath(f.Wave("plain.wav"));
  EXPECT_EQ(f.Entry(0).TagTitle, "Кукушка");
  EXPECT_FALSE(f.Entry(1).HasTag);
}

}  // namespace
}  // namespace tolvane::app
