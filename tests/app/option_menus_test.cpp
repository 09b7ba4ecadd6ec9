#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
    blade.Queue.Rows().ClearSelection();
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
  EXPECT_EQ(f.blade.DefaultValues().bitrate, 192);
  EXPECT_EQ(f.Entry(0).Bitrate, 128) << "queued files keep theirs";

  MenusFixture g;
  const std::string required_before = g.blade.TotalBar.Panel(0).Text();
  const int64_t size_before = g.Entry(1).RequiredSize;
  g.Select({1});
  ItemCaptioned(g.blade.BitrateMenu, "320kbps").Click();
  EXPECT_EQ(g.Entry(1).Bitrate, 320);
  EXPECT_EQ(g.Entry(1).RequiredSize, size_before * 320 / 128);
  EXPECT_EQ(g.Entry(0).Bitrate, 128) << "only the selected file";
  EXPECT_EQ(g.blade.DefaultValues().bitrate, 128) << "the default stays";
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
  f.blade.DefaultValues().bitrate = 160;
  f.Entry(0).CRCFlag = f.Entry(0).PrivateFlag = true;
  f.Entry(1).CRCFlag = true;
  f.blade.DefaultValues().stereo = 2;
  f.Select({0, 1});
  // Opening a menu changes no entry: the saved queue is not written for it.
  int notices = 0;
  const platform::Subscription counting =
      f.blade.QueueModel().Changed.Connect([&](const queue::EntryChange&) { ++notices; });
  for (ui::PopupMenu* menu : {&f.blade.BitrateMenu, &f.blade.PrioMenu, &f.blade.StereoMenu,
                              &f.blade.BitsMenu, &f.blade.EstMenu, &f.blade.TreeMenu})
    menu->Popup({0, 0});
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(Checked(f.blade.BitrateMenu), std::vector<std::string>{"160kbps"});
  EXPECT_EQ(Checked(f.blade.StereoMenu), std::vector<std::string>{"Mono"});
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
  f.blade.DefaultValues().Set(&options::WindowDefaults::bitrate, 224);
  EXPECT_EQ(f.blade.Bitrate.Caption(), "224kbps") << "the button shows the default";
  f.blade.BitrateMenu.Popup({0, 0});
  EXPECT_EQ(Checked(f.blade.BitrateMenu), std::vector<std::string>{"224kbps"});
}

TEST(OptionMenus, EstimateTreeAndRecentFolders) {
  MenusFixture f;
  ItemCaptioned(f.blade.EstMenu, "Batch").Click();
  ItemCaptioned(f.blade.EstMenu, "Batch").Click();
  EXPECT_EQ(f.blade.DefaultValues().estimate_mode, 1);
  EXPECT_EQ(f.blade.Selector.Caption(), "batch");
  EXPECT_EQ(Checked(f.blade.EstMenu), std::vector<std::string>{"Batch"}) << "stays checked";
  ItemCaptioned(f.blade.EstMenu, "Current").Click();
  EXPECT_EQ(f.blade.Selector.Caption(), "current");

  ItemCaptioned(f.blade.TreeMenu, "2").Click();
  EXPECT_EQ(f.blade.DefaultValues().tree_depth, 2);
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

std::vector<std::string> Recents(const TBlade& blade) {
  std::vector<std::string> recents;
  for (int i = 0; i < blade.RecentMenu.Count(); ++i)
    recents.push_back(blade.RecentMenu.Item(i).Visible() ? blade.RecentMenu.Item(i).Caption()
                                                         : "(hidden)");
  return recents;
}

// A window with folders on its second volume and one queued file on the first, so that the
// required space tells where the target is.
struct TargetFixture : BladeFixture {
  std::string disk2 = temp / "disk2";
  TargetFixture() {
    for (const char* folder : {"A", "B", "C", "D", "E", "F", "music/rock", "music/.cache"})
      std::filesystem::create_directories(disk2 + "/" + folder);
    blade.AddPath(Wave("song.wav"));
  }
  void SetRecents(const std::vector<std::string>& folders) {
    for (size_t i = 0; i < folders.size(); ++i) {
      blade.RecentMenu.Item(static_cast<int>(i)).SetCaption(folders[i]);
      blade.RecentMenu.Item(static_cast<int>(i)).SetVisible(true);
    }
  }
  // The user opens the picker, chooses a volume, clicks down the folders named, and ends with
  // `end` (OK or Cancel).
  void Pick(int volume, std::vector<std::string> clicks,
            ui::SpeedButton options::TFolderForm::*end) {
    system.dialogs.ActInNextForm([this, volume, clicks, end](ui::Form&) {
      options::TFolderForm& picker = blade.FolderForm();
      EXPECT_TRUE(blade.OutFolderButton.Down()) << "held down while the picker shows";
      picker.Drive.Choose(volume);
      for (const std::string& name : clicks) {
        const int line =
            picker.LineOf(picker.Directory() == "/" ? "/" + name : picker.Directory() + "/" + name);
        ASSERT_GE(line, 0) << name;
        picker.Folder.Click(line);
      }
      (picker.*end).UserClick();
    });
    TotalBar().SetText("stale");
    blade.OutFolderButton.UserClick();
  }
  ui::StatusPanel& TotalBar() { return blade.TotalBar.Panel(0); }
};

// The target folder as the picker, "Clear" and the recent list leave it.
TEST(TargetFolder, ChoosingClearingAndTheRecentList) {
  using Picker = options::TFolderForm;
  const std::string h = "(hidden)";
  struct Case {
    const char* name;
    std::vector<std::string> recents;  // relative to disk2
    std::function<void(TargetFixture&)> act;
    std::string target;  // relative to disk2, or absolute
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"a first folder",
       {},
       [](TargetFixture& f) {
         f.Pick(1, {"music", "rock"}, &Picker::OK);
       },
       "music/rock/",
       {"music/rock/", h, h, h, h}},
      {"a new folder pushes the oldest out",
       {"A/", "B/", "C/", "D/", "E/"},
       [](TargetFixture& f) { f.Pick(1, {"F"}, &Picker::OK); },
       "F/",
       {"F/", "A/", "B/", "C/", "D/"}},
      {"a listed folder moves to the front",
       {"A/", "B/", "C/", "D/", "E/"},
       [](TargetFixture& f) { f.Pick(1, {"C"}, &Picker::OK); },
       "C/",
       {"C/", "A/", "B/", "D/", "E/"}},
      {"a volume's root gets no second separator",
       {},
       [](TargetFixture& f) { f.Pick(0, {}, &Picker::OK); },
       "/",
       {"/", h, h, h, h}},
      {"cancel changes nothing",
       {"A/", "B/"},
       [](TargetFixture& f) { f.Pick(1, {"F"}, &Picker::Cancel); },
       "B/",
       {"A/", "B/", h, h, h}},
      {"Esc cancels",
       {"A/"},
       [](TargetFixture& f) {
         f.system.dialogs.ActInNextForm([&f](ui::Form& form) {
           f.blade.FolderForm().Folder.Click(1);
           EXPECT_TRUE(form.KeyPress('\r')) << "Enter means nothing here";
           EXPECT_EQ(form.GetModalResult(), ui::ModalResult::None);
           EXPECT_FALSE(form.KeyPress(27));
         });
         f.TotalBar().SetText("stale");
         f.blade.OutFolderButton.UserClick();
       },
       "B/",
       {"A/", h, h, h, h}},
      {"the keyboard: Right and Enter open, Left goes up, OK takes the line it shows",
       {},
       [](TargetFixture& f) {
         f.system.dialogs.ActInNextForm([&f](ui::Form& form) {
           Picker& picker = f.blade.FolderForm();
           picker.Drive.Choose(1);
           const auto line = [&](const std::string& below) {
             return picker.LineOf(f.disk2 + below);
           };
           picker.Folder.Highlight(line("/music"));
           EXPECT_FALSE(form.KeyDown(ui::keys::kRight, {}));
           EXPECT_EQ(picker.Directory(), f.disk2 + "/music");
           picker.Folder.Highlight(line("/music/rock"));
           EXPECT_FALSE(form.KeyDown(ui::keys::kLeft, {}));
           EXPECT_EQ(picker.Directory(), f.disk2) << "up from the open folder";
           picker.Folder.Highlight(line("/music"));
           EXPECT_FALSE(form.KeyDown(ui::keys::kReturn, {}));
           picker.Folder.Highlight(line("/music/rock"));
           EXPECT_EQ(picker.Directory(), f.disk2 + "/music/rock") << "what the keyboard shows";
           picker.OK.UserClick();
         });
         f.TotalBar().SetText("stale");
         f.blade.OutFolderButton.UserClick();
       },
       "music/rock/",
       {"music/rock/", h, h, h, h}},
      {"Clear keeps the recent list",
       {"A/", "B/"},
       [](TargetFixture& f) {
         f.TotalBar().SetText("stale");
         f.blade.ClearFolder.UserClick();
       },
       "",
       {"A/", "B/", h, h, h}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TargetFixture f;
    const auto on_disk2 = [&f](const std::string& path) {
      return path.empty() || path.starts_with("/") || path == "(hidden)" ? path
                                                                         : f.disk2 + "/" + path;
    };
    std::vector<std::string> recents;
    for (const std::string& folder : c.recents)
      recents.push_back(on_disk2(folder));
    f.SetRecents(recents);
    f.blade.OutputFolder.SetText(on_disk2("B/"));
    c.act(f);
    EXPECT_EQ(f.blade.OutputFolder.Text(), on_disk2(c.target));
    std::vector<std::string> expected;
    for (const std::string& folder : c.expected)
      expected.push_back(on_disk2(folder));
    EXPECT_EQ(Recents(f.blade), expected);
    EXPECT_FALSE(f.blade.OutFolderButton.Down()) << "released";
    EXPECT_NE(f.TotalBar().Text(), "stale") << "the totals are recomputed";
  }
}

// The picker opens at the target folder, or at home when there is none or it is gone; it shows
// the path down from the volume's root and the folders inside, hidden ones left out.
TEST(TargetFolder, ThePickerOpensAtTheTargetOrAtHome) {
  TargetFixture f;
  const std::string home = f.system.config.Path();
  struct Case {
    std::string target;
    std::string opens_at;
    int volume;
  };
  const Case cases[] = {
      {"", home, 0}, {f.disk2 + "/music/", f.disk2 + "/music", 1}, {f.disk2 + "/gone/", home, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    f.blade.OutputFolder.SetText(c.target);
    f.system.dialogs.ActInNextForm([&](ui::Form& form) {
      const options::TFolderForm& picker = f.blade.FolderForm();
      EXPECT_EQ(form.Caption(), "Select folder");
      EXPECT_EQ(form.ClientWidth(), 203);
      EXPECT_EQ(form.ClientHeight(), 233);
      EXPECT_EQ(picker.Directory(), c.opens_at);
      EXPECT_EQ(picker.Drive.ItemIndex(), c.volume);
      ASSERT_GE(picker.Folder.ItemIndex(), 0);
      EXPECT_TRUE(picker.Folder.Items()[picker.Folder.ItemIndex()].open);
    });
    f.blade.OutFolderButton.UserClick();
    EXPECT_EQ(f.blade.OutputFolder.Text(), c.target) << "cancelled";
  }
  f.blade.FolderForm().SetDirectory(f.disk2 + "/music");
  EXPECT_EQ(
      f.blade.FolderForm().Folder.Items(),
      (std::vector<ui::ListBoxItem>{{f.disk2, 0, true}, {"music", 1, true}, {"rock", 2, false}}));
  EXPECT_EQ(f.system.dialogs.Forms().size(), 3u);
}

// The recent folders and the target are kept in the settings file from one start to the next.
TEST(TargetFolder, RecentFoldersSurviveARestart) {
  TargetFixture f;
  f.Pick(1, {"A"}, &options::TFolderForm::OK);
  f.Pick(1, {"music"}, &options::TFolderForm::OK);
  ASSERT_TRUE(f.blade.Form.Close());

  posix::RegistryFile registry(f.system.registry.Path(), "HKEY_CURRENT_USER");
  TBlade again{WindowServices(f.system, f.application, f.work_area,
                              {.volumes = &f.volumes,
                               .registry = &registry,
                               .job_list = f.system.config / "tolvane-again.dat"})};
  again.FormCreate();
  EXPECT_EQ(again.OutputFolder.Text(), f.disk2 + "/music/");
  const std::string h = "(hidden)";
  EXPECT_EQ(Recents(again),
            (std::vector<std::string>{f.disk2 + "/music/", f.disk2 + "/A/", h, h, h}));
}

}  // namespace
}  // namespace tolvane::app
