#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "encoding_window.h"
#include "support/audio_files.h"
#include "support/mp3_inspect.h"

namespace tolvane::app {
namespace {

// WAVE files, a tagged FLAC album track, a folder of FLAC files and an Opus file become MP3 files
// of full length; the FLAC track's tags (what its entry shows before encoding, and what the entry
// has no field for) read back whole.
TEST(EndToEnd, TheBundledEncoderEncodesTheQueue) {
  EncodingWindow f;
  f.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/bladeenc");
  f.blade.ShowEncoderVersion();
  EXPECT_EQ(f.blade.BEVersion.Caption(), "v 1.00");
  for (const char* name : {"one.wav", "two.wav"}) {
    testing::WriteWave(f.temp / name, {.samples = testing::Tone(44100 * 2, 2, 44100, 9000, 9000)});
  }
  const std::string png("\x89PNG\r\n\x1a\n cover", 14);
  ASSERT_TRUE(testing::WriteEncoded(f.temp / "01.flac", "flac", 44100, 44100 * 2));
  testing::TagFlac(f.temp / "01.flac",
                   {{"TITLE", "Группа крови"},
                    {"ARTIST", "Кино"},
                    {"ALBUMARTIST", "Кино"},
                    {"TRACKNUMBER", "1"},
                    {"TRACKTOTAL", "11"}},
                   png);
  std::filesystem::create_directory(f.temp / "album");
  for (const char* name : {"album/a.flac", "album/b.flac", "voice.opus"}) {
    const bool opus = std::string(name).ends_with(".opus");
    ASSERT_TRUE(testing::WriteEncoded(f.temp / name, opus ? "libopus" : "flac", 48000, 96000));
  }
  for (const char* name : {"one.wav", "two.wav", "01.flac", "album", "voice.opus"})
    f.blade.AddPath(f.temp / name);
  ASSERT_EQ(f.blade.Queue.Count(), 6);
  EXPECT_EQ(f.Entry(2).TagTitle, "Группа крови") << "the tag dialog shows it before encoding";
  queue::TFileData& tagged = f.Entry(1);
  tagged.HasTag = true;
  tagged.TagTitle = "Second";
  tagged.TagGenre = -1;

  f.blade.Encode.UserClick();
  EXPECT_EQ(f.Status(0), "Preparing...");
  std::set<std::string> seen;
  for (int tick = 0; tick < 400 && f.blade.Engine().ProgressTimer().Enabled(); ++tick) {
    f.WaitUntilEnded();
    f.Tick();
    seen.insert(f.Status(1));
  }
  EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
  for (int row = 0; row < 6; ++row)
    EXPECT_TRUE(f.Status(row).starts_with("Completed in 00:00:0")) << f.Status(row);
  EXPECT_TRUE(seen.contains("Preparing...")) << "the second one was prepared";
  for (const char* name :
       {"one.mp3", "two.mp3", "01.mp3", "album/a.mp3", "album/b.mp3", "voice.mp3"}) {
    const testing::DecodedSound sound = testing::DecodeMp3(f.temp / name);
    EXPECT_NEAR(static_cast<double>(sound.Frames()) / sound.sample_rate, 2.0, 0.03) << name;
  }
  const std::string tagged_file = testing::ReadText(f.temp / "two.mp3");
  ASSERT_GT(tagged_file.size(), 256u);
  EXPECT_EQ(tagged_file.substr(tagged_file.size() - 128, 9), std::string("TAGSecond", 9));
  EXPECT_NE(tagged_file.substr(tagged_file.size() - 256, 3), "TAG") << "exactly one record";
  const std::string untagged = testing::ReadText(f.temp / "one.mp3");
  EXPECT_NE(untagged.substr(untagged.size() - 128, 3), "TAG");
  const std::map<std::string, std::string> frames = {{"TIT2", "Группа крови"},
                                                     {"TPE1", "Кино"},
                                                     {"TPE2", "Кино"},
                                                     {"TRCK", "1/11"},
                                                     {"APIC", "image/png:" + png}};
  EXPECT_EQ(testing::ReadTags(f.temp / "01.mp3").frames, frames);
}

TEST(EndToEnd, ProgressShowsWhileTheRealEncoderWorks) {
  EncodingWindow f;
  f.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/bladeenc");
  f.blade.ShowEncoderVersion();
  testing::WriteWave(f.temp / "long.wav",
                     {.samples = testing::Tone(44100 * 300, 2, 44100, 9000, 9000)});
  f.blade.AddPath(f.temp / "long.wav");
  f.blade.Encode.UserClick();
  bool saw_percent = false;
  for (int tick = 0; tick < 2000 && f.blade.Engine().ProgressTimer().Enabled(); ++tick) {
    struct timespec pause {
      0, 10'000'000
    };
    nanosleep(&pause, nullptr);
    f.Tick();
    const std::string status = f.Status(0);
    saw_percent = saw_percent || (status.ends_with("% completed") && status != "0% completed");
  }
  EXPECT_TRUE(saw_percent) << "a percentage followed by \"% completed\"";
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_TRUE(f.Status(0).starts_with("Completed in ")) << f.Status(0);
}

}  // namespace
}  // namespace tolvane::app
