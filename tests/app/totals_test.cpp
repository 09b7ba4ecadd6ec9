#include <gtest/gtest.h>
#include <filesystem>

#include "blade_fixture.h"
#include "encoding/totals.h"
#include "platform/number_text.h"

namespace tolvane::app {
namespace {

TEST(Totals, AnEmptyQueue) {
  BladeFixture f;
  f.blade.UpdateTotals();
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "000");
  EXPECT_EQ(f.blade.TotalBar.Panel(0).Text(), "0mb");
  EXPECT_EQ(f.blade.Engine().BatchTotalBytes(), 0);
  EXPECT_EQ(f.blade.Engine().BatchDoneBytes(), 0);
}

TEST(Totals, TheDriveMenuListsTheVolumesAndWatchesTheStoredOne) {
  BladeFixture f;
  ASSERT_EQ(f.blade.DrivesMenu.Count(), 2);
  EXPECT_EQ(f.blade.DrivesMenu.Item(0).Caption(), "on disk /");
  EXPECT_EQ(f.blade.DrivesMenu.Item(1).Caption(), "on disk " + (f.temp / "disk2"));
  EXPECT_TRUE(f.blade.DrivesMenu.Item(0).Checked());
  EXPECT_EQ(f.blade.DriveButton.Caption(), "Req. and free on /");
  // Other writers on the disk move the figure between the two readings.
  const std::string shown = f.blade.TotalBar.Panel(1).Text();
  ASSERT_TRUE(shown.ends_with("mb")) << shown;
  EXPECT_NEAR(std::stod(shown), std::filesystem::space("/").available / 1024.0 / 1024.0, 64.0);

  f.blade.Target().DriveClick(f.blade.DrivesMenu.Item(1));
  EXPECT_EQ(f.blade.DriveButton.Caption(), "Req. and free on " + (f.temp / "disk2"));
  EXPECT_FALSE(f.blade.DrivesMenu.Item(0).Checked());
  EXPECT_EQ(f.blade.Target().WatchedVolume(), f.temp / "disk2");

  BladeFixture beyond;
  beyond.blade.Target().BuildDrivesMenu(7);
  EXPECT_TRUE(beyond.blade.DrivesMenu.Item(1).Checked()) << "an index beyond the list: the last";
  EXPECT_FALSE(beyond.blade.DrivesMenu.Item(0).Checked());
}

TEST(Totals, EntriesCountForTheVolumeTheirMp3GoesTo) {
  BladeFixture f;
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    f.blade.AddPath(f.Wave(name));
  f.Entry(1).DoneBytes = 5000;
  f.blade.UpdateTotals();
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "003");
  EXPECT_EQ(f.blade.Engine().BatchTotalBytes(), 3 * 10'584'044.0L);
  EXPECT_EQ(f.blade.Engine().BatchDoneBytes(), 5000);
  // 3 x 960,004 bytes are 2.75 MiB.
  EXPECT_EQ(f.blade.TotalBar.Panel(0).Text(), "3mb") << "sources on the watched volume";

  f.blade.OutputFolder.SetText(f.temp / "disk2/mp3");
  f.blade.UpdateTotals();
  EXPECT_EQ(f.blade.TotalBar.Panel(0).Text(), "0mb") << "the target is on another volume";
  f.blade.Target().DriveClick(f.blade.DrivesMenu.Item(1));
  EXPECT_EQ(f.blade.TotalBar.Panel(0).Text(), "3mb") << "now it is the watched one";

  f.blade.OutputFolder.SetText("");
  f.blade.UpdateTotals();
  EXPECT_EQ(f.blade.TotalBar.Panel(0).Text(), "0mb") << "the sources are not on disk2";
}

TEST(Totals, ARemovedEntryTakesItsRowAndItsShare) {
  BladeFixture f;
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    f.blade.AddPath(f.Wave(name));
  ASSERT_TRUE(f.blade.QueueModel().Remove(f.Entry(0)));
  f.blade.UpdateTotals();
  EXPECT_EQ(f.Entry(0).DisplayName, "b");
  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "002");
}

TEST(Totals, TextForms) {
  EXPECT_EQ(platform::CountText(0), "000");
  EXPECT_EQ(platform::CountText(15), "015");
  EXPECT_EQ(platform::CountText(1234), "1234");
  EXPECT_EQ(platform::MegabytesText(5.0L * 1024 * 1024 * 1024), "5120mb");
  EXPECT_EQ(platform::MegabytesText(2.5L * 1024 * 1024), "2mb") << "halves to even";
  EXPECT_EQ(platform::MegabytesText(3.5L * 1024 * 1024), "4mb");
  posix::PosixVolumes none({"/nowhere-mounted"});
  EXPECT_EQ(encoding::DriveFreeSpace(none, "/nowhere-mounted/x").text, "Unknown");
  EXPECT_EQ(encoding::DriveFreeSpace(none, "relative").bytes, 0);
}

}  // namespace
}  // namespace tolvane::app
