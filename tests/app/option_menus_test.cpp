#include <gtest/gtest.h>

#include "blade_fixture.h"

namespace tolvane::app {
namespace {

ui::MenuItem& ItemCaptioned(ui::PopupMenu& menu, const std::string& caption) {
  ui::MenuItem* item = menu.FindByCaption(caption);
  EXPECT_NE(item, nullptr) << caption;
  return *item;
}

std::vector<std::string> Checked(const ui::PopupMenu& menu) {
  std::vector<std::string> checked;
  for (int i = 0; i < menu.Count(); ++i) {
    if (menu.Item(i).Checked())
      checked.push_back(menu.Item(i).Caption());
  }
  return checked;
}

struct MenusFixture : BladeFixture {
  MenusFixture() {
    blade.AddPath(Wave("a.wav"));
    blade.AddPath(Wave("b.wav"));
  }
  void ShowSettings() { blade.Main.SetActivePage(&blade.Defaults); }
  void Select(std::initializer_list<int> rows) {
    blade.Queue.ClearSelection();
    for (int row : rows)
      blade.Queue.Item(row).SetSelected(true);
    Settle();
  }
};

// A bitrate chosen on the "Settings" page is the default for new files; on the "Files" page it
// is the selected files' own, with their expected size and the totals.
TEST(OptionMenus, BitrateForTheDefaultsOrForTheSelectedFiles) {
  MenusFixture f;
  f.ShowSettings();
  ItemCaptioned(f.blade.BitrateMenu, "192kbps").Click();
  EXPECT_EQ(f.blade.Bitrate.Caption(), "192kbps");
  EXPECT_EQ(f.blade.DefaultBitrate, 192);
  EXPECT_EQ(f.Entry(0).Bitrate, 128) << "queued files keep theirs";

  MenusFixture g;
  const std::string required_before = g.blade.TotalBar.Panel(0).Text();
  const int64_t size_before = g.Entry(1).RequiredSize;
  g.Select({1});
  ItemCaptioned(g.blade.BitrateMenu, "320kbps").Click();
  EXPECT_EQ(g.Entry(1).Bitrate, 320);
  EXPECT_EQ(g.Entry(1).RequiredSize, size_before * 320 / 128);
  EXPECT_EQ(g.Entry(0).Bitrate, 128) << "only the selected file";
  EXPECT_EQ(g.blade.DefaultBitrate, 128) << "the default stays";
  EXPECT_NE(g.blade.TotalBar.Panel(0).Text(), required_before) << "the totals follow";
  g.Settle();
  EXPECT_EQ(g.blade.Mp3BitrateButton.Caption(), "320kbps");
}

// On opening, a menu checks what the buttons show; with several files selected it shows the
// defaults, and a flag only when every selected file has it.
TEST(OptionMenus, OpeningChecksTheCurrentValues) {
  MenusFixture f;
  f.Entry(0).Bitrate = 128;
  f.Entry(1).Bitrate = 192;
  f.blade.DefaultBitrate = 160;
  f.Entry(0).CRCFlag = f.Entry(0).PrivateFlag = true;
  f.Entry(1).CRCFlag = true;
  f.Select({0, 1});
  f.blade.BitrateMenu.Popup({0, 0});
  EXPECT_EQ(Checked(f.blade.BitrateMenu), std::vector<std::string>{"160kbps"});
  f.blade.BitsMenu.Popup({0, 0});
  EXPECT_EQ(Checked(f.blade.BitsMenu), std::vector<std::string>{"Check&sums"});

  ItemCaptioned(f.blade.BitsMenu, "&Private").Click();
  EXPECT_TRUE(f.Entry(0).PrivateFlag);
  EXPECT_TRUE(f.Entry(1).PrivateFlag);
  EXPECT_TRUE(f.Entry(0).CRCFlag && f.Entry(1).CRCFlag) << "the other flags stay";
  EXPECT_FALSE(f.Entry(0).CopyFlag || f.Entry(1).DeleteFlag);

  f.Select({1});
  f.blade.BitrateMenu.Popup({0, 0});
  EXPECT_EQ(Checked(f.blade.BitrateMenu), std::vector<std::string>{"192kbps"}) << "its own value";
  f.ShowSettings();
  f.blade.Bitrate.SetCaption("224kbps");
  f.blade.BitrateMenu.Popup({0, 0});
  EXPECT_EQ(Checked(f.blade.BitrateMenu), std::vector<std::string>{"224kbps"});
}

TEST(OptionMenus, EstimateTreeAndRecentFolders) {
  MenusFixture f;
  ItemCaptioned(f.blade.EstMenu, "Batch").Click();
  ItemCaptioned(f.blade.EstMenu, "Batch").Click();
  EXPECT_EQ(f.blade.EstimateMode, 1);
  EXPECT_EQ(f.blade.Selector.Caption(), "batch");
  EXPECT_EQ(Checked(f.blade.EstMenu), std::vector<std::string>{"Batch"}) << "stays checked";
  ItemCaptioned(f.blade.EstMenu, "Current").Click();
  EXPECT_EQ(f.blade.Selector.Caption(), "current");

  ItemCaptioned(f.blade.TreeMenu, "2").Click();
  EXPECT_EQ(f.blade.TreeDepth, 2);
  EXPECT_EQ(f.blade.TreeButton.Caption(), "2");

  const std::vector<std::string> folders = {"/A/", "/B/", "/C/", "/D/", "/E/"};
  for (int i = 0; i < 5; ++i)
    f.blade.RecentMenu.Item(i).SetCaption(folders[static_cast<size_t>(i)]);
  f.blade.RecentMenu.Item(3).Click();
  EXPECT_EQ(f.blade.OutputFolder.Text(), "/D/");
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i)
    order.push_back(f.blade.RecentMenu.Item(i).Caption());
  EXPECT_EQ(order, (std::vector<std::string>{"/D/", "/A/", "/B/", "/C/", "/E/"}));
  f.blade.RecentMenu.Item(0).Click();
  EXPECT_EQ(f.blade.RecentMenu.Item(1).Caption(), "/A/") << "the first stays first";
}

}  // namespace
}  // namespace tolvane::app
