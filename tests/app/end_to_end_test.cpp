#include <gtest/gtest.h>

#include <set>

#include "encoding_window.h"
#include "support/mp3_inspect.h"

namespace tolvane::app {
namespace {

TEST(EndToEnd, TheBundledEncoderEncodesTheQueue) {
  EncodingWindow f;
  f.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/bladeenc");
  f.blade.ShowEncoderVersion();
  EXPECT_EQ(f.blade.BEVersion.Caption(), "v 1.00");
  for (const char* name : {"one.wav", "two.wav"}) {
    testing::WriteWave(f.temp / name, {.samples = testing::Tone(44100 * 2, 2, 44100, 9000, 9000)});
  }
  f.blade.AddPath(f.temp / "one.wav");
  f.blade.AddPath(f.temp / "two.wav");
  queue::TFileData& tagged = f.Entry(1);
  tagged.HasTag = true;
  tagged.TagTitle = "Second";
  tagged.TagGenre = -1;

  f.blade.Encode.UserClick();
  EXPECT_EQ(f.Status(0), "Preparing...");
  std::set<std::string> seen;
  for (int tick = 0; tick < 200 && f.blade.Engine().ProgressTimer().Enabled(); ++tick) {
    f.WaitUntilEnded();
    f.Tick();
    seen.insert(f.Status(0));
    seen.insert(f.Status(1));
  }
  EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
  EXPECT_TRUE(f.Status(0).starts_with("Completed in 00:00:0")) << f.Status(0);
  EXPECT_TRUE(f.Status(1).starts_with("Completed in 00:00:0")) << f.Status(1);
  EXPECT_TRUE(seen.contains("Preparing...")) << "the second one was prepared";
  for (const char* name : {"one.mp3", "two.mp3"}) {
    const testing::DecodedSound sound = testing::DecodeMp3(f.temp / name);
    EXPECT_NEAR(sound.Frames(), 2 * 44100, 1152) << name;
  }
  const std::string tagged_file = testing::ReadText(f.temp / "two.mp3");
  ASSERT_GT(tagged_file.size(), 256u);
  EXPECT_EQ(tagged_file.substr(tagged_file.size() - 128, 9), std::string("TAGSecond", 9));
  EXPECT_NE(tagged_file.substr(tagged_file.size() - 256, 3), "TAG") << "exactly one record";
  const std::string untagged = testing::ReadText(f.temp / "one.mp3");
  EXPECT_NE(untagged.substr(untagged.size() - 128, 3), "TAG");
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
