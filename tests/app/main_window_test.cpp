#include "app/main_window.h"

#include <gtest/gtest.h>

#include "window_services.h"

#include "support/desktop_stand_ins.h"
#include "support/system_services.h"

namespace tolvane::app {
namespace {

struct Window {
  testing::CountingEventLoop loop;
  ui::Application application{loop};
  testing::FixedWorkArea work_area{{0, 0, 1280, 1000}};
  testing::SystemServices system;
  TBlade blade{WindowServices(system, application, work_area)};
};

std::vector<std::string> PanelTexts(const ui::StatusBar& bar) {
  std::vector<std::string> texts;
  for (int i = 0; i < bar.PanelCount(); ++i)
    texts.push_back(bar.Panel(i).Text());
  return texts;
}

TEST(MainWindow, OpensWithItsDesignedState) {
  Window w;
  TBlade& b = w.blade;
  EXPECT_EQ(b.Form.Caption(), "Tolvane 2.99c");
  EXPECT_EQ(b.Form.ClientWidth(), 503);
  EXPECT_EQ(b.Form.ClientHeight(), 365);
  EXPECT_EQ(b.Form.Bounds(), (ui::Rect{(1280 - 503) / 2, (1000 - 365) / 2, 503, 365}))
      << "centred in the work area";
  EXPECT_EQ(b.Form.ActiveControl(), &b.Queue);
  EXPECT_EQ(b.Main.ActivePage(), &b.Files);
  EXPECT_EQ(b.Main.Bounds(), (ui::Rect{0, 0, 503, 275}));
  EXPECT_EQ(b.MinPanel.Bounds(), (ui::Rect{0, 275, 503, 90}));

  EXPECT_TRUE(b.Encode.Enabled());
  EXPECT_FALSE(b.Encode.Down());
  EXPECT_FALSE(b.Stop.Enabled());
  EXPECT_FALSE(b.Pause.Enabled());
  for (ui::SpeedButton* button :
       {&b.Mp3BitrateButton, &b.Mp3PrioButton, &b.Mp3StereoButton, &b.Mp3BitsButton, &b.IDButton}) {
    EXPECT_FALSE(button->Enabled()) << button->Name();
  }
  EXPECT_EQ(PanelTexts(b.AllBar1),
            (std::vector<std::string>{"000", "of", "000", "Estimated time for"}));
  EXPECT_EQ(PanelTexts(b.AllBar2), (std::vector<std::string>{"00:00:00", "Speed", "0.00x"}));
  EXPECT_EQ(PanelTexts(b.AllBar3),
            (std::vector<std::string>{"Elapsed time", "00:00:00", "", "", "0%"}));
  EXPECT_EQ(PanelTexts(b.TotalBar), (std::vector<std::string>{"0mb", ""}));
  EXPECT_EQ(b.BladePath.Text(), "bladeenc");
  EXPECT_TRUE(b.BladePath.ReadOnly());
  EXPECT_FALSE(b.Engine().ProgressTimer().Enabled());
  EXPECT_EQ(b.Engine().ProgressTimer().Interval(), 1000u);
}

TEST(MainWindow, SettingsTogglesActAsCheckBoxesAndCloseExcludesShutdown) {
  Window w;
  TBlade& b = w.blade;
  b.PrivateBit.UserClick();
  b.CRCBit.UserClick();
  EXPECT_TRUE(b.PrivateBit.Down());
  EXPECT_TRUE(b.CRCBit.Down()) << "the toggles are independent";
  b.PrivateBit.UserClick();
  EXPECT_FALSE(b.PrivateBit.Down());

  b.CloseProg.UserClick();
  b.ShutDown.UserClick();
  EXPECT_FALSE(b.CloseProg.Down());
  EXPECT_TRUE(b.ShutDown.Down());
  b.ShutDown.UserClick();
  EXPECT_FALSE(b.ShutDown.Down()) << "both may be up";
}

TEST(MainWindow, CompactModeGrowsUpwardsOnlyWhenDockedAtTheBottom) {
  Window w;
  TBlade& b = w.blade;
  struct Case {
    const char* name;
    ui::Rect start;
    ui::Rect compact;
  };
  const Case cases[] = {
      {"docked at the bottom", {100, 1000 - 365, 503, 365}, {100, 1000 - 90, 503, 90}},
      {"elsewhere", {100, 200, 503, 365}, {100, 200, 503, 90}},
  };
  for (const Case& c : cases) {
    b.Form.SetBounds(c.start);
    b.SpeedBar1DblClick();
    EXPECT_EQ(b.Form.Bounds(), c.compact) << c.name;
    EXPECT_FALSE(b.Main.Visible()) << c.name;
    EXPECT_EQ(b.MinPanel.Top(), 0) << c.name << ": only the bottom panel shows";
    EXPECT_EQ(b.Form.ClientHeight(), 90) << c.name;

    b.SpeedBar1DblClick();
    EXPECT_EQ(b.Form.Bounds(), c.start) << c.name << ": twice brings back height and place";
    EXPECT_TRUE(b.Main.Visible()) << c.name;
    EXPECT_EQ(b.Main.Bounds(), (ui::Rect{0, 0, 503, 275})) << c.name;
    EXPECT_EQ(b.MinPanel.Top(), 275) << c.name;
  }
}

TEST(MainWindow, MovesSnapToTheWorkArea) {
  Window w;
  w.work_area.Set({0, 24, 1280, 976});
  EXPECT_EQ(w.blade.Form.ProposePosition({14, 200, 503, 365}), (ui::Rect{0, 200, 503, 365}));
  EXPECT_EQ(w.blade.Form.ProposePosition({15, 200, 503, 365}), (ui::Rect{15, 200, 503, 365}));
  EXPECT_EQ(w.blade.Form.ProposePosition({300, 1000 - 365 + 10, 503, 365}),
            (ui::Rect{300, 1000 - 365, 503, 365}));
}

TEST(MainWindow, TaskbarShowsTheProgressTitleOnlyWhileItReplacesTheSavedOne) {
  Window w;
  w.application.SetTitle("Tolvane");
  w.blade.FormCreate();  // saves the title
  EXPECT_EQ(w.blade.TaskbarTitle(), "Tolvane 2.99c");
  w.application.SetTitle("42% -=- Tolvane");
  EXPECT_EQ(w.blade.TaskbarTitle(), "42% -=- Tolvane");
  w.application.SetTitle("Tolvane");
  EXPECT_EQ(w.blade.TaskbarTitle(), "Tolvane 2.99c");
}

// The right button on the queue opens FilesMenu at the pointer, and its "Add..." is the Add
// command.
TEST(MainWindow, TheQueuesContextMenuIsFilesMenu) {
  Window w;
  std::vector<ui::Point> opened;
  const platform::Subscription watching =
      w.blade.FilesMenu.PopupRequested.Connect([&opened](ui::Point at) { opened.push_back(at); });
  w.blade.Queue.ContextPopup({20, 40}, {640, 480});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].x, 640);
  EXPECT_EQ(opened[0].y, 480);

  w.system.dialogs.ChooseFilesNext(std::nullopt);
  w.blade.FilesMenu.FindByName("AddFile")->Click();
  ASSERT_EQ(w.system.dialogs.FileRequests().size(), 1u);
  EXPECT_EQ(w.system.dialogs.FileRequests()[0].title, "Open");
}

TEST(MainWindow, OptionMenusCarryTheirTags) {
  Window w;
  TBlade& b = w.blade;
  struct Case {
    ui::PopupMenu& menu;
    int count;
    int first_tag;
    int last_tag;
  };
  const Case cases[] = {{b.BitrateMenu, 14, 2032, 2320}, {b.PrioMenu, 6, 3000, 3005},
                        {b.BitsMenu, 6, 4001, 4006},     {b.EstMenu, 2, 5001, 5002},
                        {b.TreeMenu, 4, 6001, 6004},     {b.StereoMenu, 5, 7001, 7005},
                        {b.RecentMenu, 5, 8000, 8004}};
  for (const Case& c : cases) {
    ASSERT_EQ(c.menu.Count(), c.count) << c.menu.Name();
    EXPECT_EQ(c.menu.Item(0).Tag(), c.first_tag) << c.menu.Name();
    EXPECT_EQ(c.menu.Item(c.count - 1).Tag(), c.last_tag) << c.menu.Name();
  }
  EXPECT_TRUE(b.BitsMenu.Item(2).IsSeparator());
  EXPECT_FALSE(b.RecentMenu.Item(0).Visible()) << "recent folders show once they have a caption";
  b.BitrateMenu.FindByCaption("192kbps")->SetChecked(true);
  b.BitrateMenu.FindByCaption("128kbps")->SetChecked(true);
  EXPECT_FALSE(b.BitrateMenu.FindByCaption("192kbps")->Checked());
}

}  // namespace
}  // namespace tolvane::app
