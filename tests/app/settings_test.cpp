#include <gtest/gtest.h>

#include "blade_fixture.h"
#include "settings/settings_store.h"

namespace tolvane::app {
namespace {

constexpr const char* kKey = "SOFTWARE\\Orvik\\Tolvane";

TEST(Settings, AFirstStartShowsTheDefaults) {
  BladeFixture f;
  TBlade& b = f.blade;
  EXPECT_EQ(b.Form.Bounds(), (ui::Rect{(1280 - 503) / 2, (1000 - 365) / 2, 503, 365}));
  EXPECT_EQ(b.Bitrate.Caption(), "128kbps");
  EXPECT_EQ(b.Priority.Caption(), "Lower");
  EXPECT_EQ(b.StereoButton.Caption(), "Stereo");
  EXPECT_EQ(b.TreeButton.Caption(), "0");
  EXPECT_EQ(b.Selector.Caption(), "batch");
  EXPECT_EQ(b.BladePath.Text(), "bladeenc");
  for (int i = 0; i < 5; ++i)
    EXPECT_FALSE(b.RecentMenu.Item(i).Visible());
  for (ui::SpeedButton* button :
       {&b.PrivateBit, &b.CopyrightBit, &b.CopyBit, &b.CRCBit, &b.DeleteBit, &b.RegistryButton,
        &b.Autostart, &b.CloseProg, &b.ShutDown, &b.OffSpace, &b.OffOverWrite, &b.SaveListButton,
        &b.DeleteFileButton}) {
    EXPECT_FALSE(button->Down()) << button->Name();
  }
}

TEST(Settings, ClosingWritesEveryValueInItsOrder) {
  BladeFixture f;
  f.blade.CRCBit.SetDown(true);
  f.blade.OutputFolder.SetText("/srv/mp3/");
  f.blade.Form.Close();
  const std::string text = testing::ReadText(f.system.registry.Path());
  const char* order[] = {
      "Drive",    "CRC",      "Delete",   "Copy",      "Copyright", "Private",      "Close",
      "Shutdown", "Selector", "Savelist", "Autostart", "Bitrate",   "Stereo",       "Priority",
      "Tree",     "Top",      "Left",     "Shell",     "OffSpace",  "OffOverwrite", "DeleteBad",
      "Output",   "Recent0",  "Recent1",  "Recent2",   "Recent3",   "Recent4"};
  size_t last = 0;
  for (const char* name : order) {
    const size_t at = text.find(std::string("\"") + name + "\"=");
    ASSERT_NE(at, std::string::npos) << name << "\n" << text;
    EXPECT_GT(at, last) << name << " in its place";
    last = at;
  }
  EXPECT_NE(text.find("\"CRC\"=\"1\""), std::string::npos);
  EXPECT_NE(text.find("\"Output\"=\"/srv/mp3/\""), std::string::npos);
  EXPECT_NE(text.find("\"Selector\"=\"1\""), std::string::npos);
}

// A window whose store holds the given values before it is created.
struct StoredFixture : BladeFixture {};

void Store(testing::SystemServices& system,
           const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, text] : values)
    EXPECT_TRUE(system.registry.WriteString(kKey, name, text));
}

TEST(Settings, StoredValuesAreReadByTheirRules) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> stored;
    std::function<void(TBlade&, testing::SystemServices&)> check;
    const char* name;
  };
  const Case cases[] = {
      {{{"Bitrate", "14"}},
       [](TBlade& b, testing::SystemServices& s) {
         EXPECT_EQ(b.DefaultValues().bitrate, 128);
         EXPECT_EQ(s.registry.ReadString(kKey, "Bitrate").text, "128") << "rewritten";
       },
       "14"},
      {{{"Bitrate", "15"}},
       [](TBlade& b, testing::SystemServices&) { EXPECT_EQ(b.Bitrate.Caption(), "15kbps"); },
       "15"},
      {{{"Bitrate", "0x80"}},
       [](TBlade& b, testing::SystemServices&) { EXPECT_EQ(b.DefaultValues().bitrate, 128); },
       "0x80"},
      {{{"Bitrate", "fast"}},
       [](TBlade& b, testing::SystemServices&) { EXPECT_EQ(b.DefaultValues().bitrate, 128); },
       "no number"},
      {{{"Selector", "2"}},
       [](TBlade& b, testing::SystemServices&) {
         EXPECT_EQ(b.DefaultValues().estimate_mode, 1);
         EXPECT_EQ(b.Selector.Caption(), "batch");
       },
       "Selector 2"},
      {{{"Close", "1"}, {"Shutdown", "1"}},
       [](TBlade& b, testing::SystemServices&) {
         EXPECT_TRUE(b.ShutDown.Down());
         EXPECT_FALSE(b.CloseProg.Down());
       },
       "Close and Shutdown"},
      {{{"Priority", "9"}, {"Stereo", "-3"}},
       [](TBlade& b, testing::SystemServices&) {
         EXPECT_EQ(b.Priority.Caption(), "Highest");
         EXPECT_EQ(b.StereoButton.Caption(), "Stereo");
       },
       "out of range"},
      {{{"Top", "40"}, {"Left", "30"}, {"Tree", "2"}, {"Recent0", "/a"}, {"Recent1", "/b"}},
       [](TBlade& b, testing::SystemServices&) {
         EXPECT_EQ(b.Form.Top(), 40);
         EXPECT_EQ(b.Form.Left(), 30);
         EXPECT_EQ(b.TreeButton.Caption(), "2");
         EXPECT_TRUE(b.RecentMenu.Item(1).Visible());
         EXPECT_EQ(b.RecentMenu.Item(1).Caption(), "/b");
         EXPECT_FALSE(b.RecentMenu.Item(2).Visible());
       },
       "position, tree, recent"},
      {{{"Top", "2147483647"}, {"Left", "-2147483648"}},
       [](TBlade& b, testing::SystemServices&) {
         EXPECT_EQ(b.Form.Left(), (1280 - b.Form.Width()) / 2);
         EXPECT_EQ(b.Form.Top(), (1000 - b.Form.Height()) / 2);
       },
       "a place off every screen opens centred"},
  };
  for (const Case& c : cases) {
    testing::CountingEventLoop loop;
    ui::Application application(loop);
    testing::FixedWorkArea work_area({0, 0, 1280, 1000});
    testing::SystemServices system;
    Store(system, c.stored);
    TBlade blade(WindowServices(system, application, work_area));
    blade.FormCreate();
    SCOPED_TRACE(c.name);
    c.check(blade, system);
  }
}

TEST(Settings, AValueOfAnotherTypeIsReportedAndStopsTheLoad) {
  testing::CountingEventLoop loop;
  ui::Application application(loop);
  application.SetTitle("Tolvane");
  testing::FixedWorkArea work_area({0, 0, 1280, 1000});
  testing::SystemServices system;
  EXPECT_TRUE(system.registry.WriteString(kKey, "CRC", "1"));
  system.registry.WriteValue(kKey, "Bitrate", platform::RegValue::Dword(192));
  EXPECT_TRUE(system.registry.WriteString(kKey, "Tree", "3"));
  system.dialogs.AnswerNext(ui::MessageAnswer::Ok);
  TBlade blade(WindowServices(system, application, work_area));
  blade.FormCreate();
  ASSERT_EQ(system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(system.dialogs.Messages()[0].text, "Invalid data type for 'Bitrate'");
  EXPECT_EQ(system.dialogs.Messages()[0].icon, ui::MessageIcon::Error);
  EXPECT_TRUE(blade.CRCBit.Down()) << "what came before was loaded";
  EXPECT_EQ(blade.TreeButton.Caption(), "0") << "what comes after keeps its state";
}

// "Integrate into shell" that cannot write the desktop's files says why, takes back the verb and
// stays up.
TEST(Settings, AShellIntegrationThatCannotBeWrittenStaysOff) {
  BladeFixture f;
  testing::WriteText(f.system.desktop_files.Folder(), "a file where the data folder would be");
  f.system.dialogs.AnswerNext(ui::MessageAnswer::Ok);
  f.blade.RegistryButton.UserClick();
  EXPECT_FALSE(f.blade.RegistryButton.Down());
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.system.dialogs.Messages()[0].text, "Failed to integrate into shell\rNot a directory");
  EXPECT_FALSE(f.system.classes.KeyExists("audio/x-wav\\shell\\Blade it"));
}

TEST(Settings, RestoreDefaultsIsHeldForThreeSeconds) {
  BladeFixture f;
  TBlade& b = f.blade;
  EXPECT_TRUE(f.system.registry.WriteString(kKey, "BladePath", "/opt/bladeenc"));
  EXPECT_TRUE(f.system.registry.WriteString(kKey, "Path", "/home/ann/rec"));
  EXPECT_TRUE(f.system.registry.WriteString(kKey, "Recent0", "/srv/mp3"));
  b.RegistryButton.UserClick();  // the verb is registered
  ASSERT_TRUE(f.system.classes.KeyExists("audio/x-wav\\shell\\Blade it"));
  const std::string data = f.system.desktop_files.Folder();
  const std::string verb_files[] = {data + "/applications/tolvane-blade-it.desktop",
                                    data + "/kio/servicemenus/tolvane-blade-it.desktop",
                                    data + "/nautilus/scripts/Blade it"};
  for (const std::string& file : verb_files)
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
  testing::WriteText(data + "/applications/other.desktop", "[Desktop Entry]\n");
  b.DefaultValues().bitrate = 320;

  auto hold = [&](int ticks, bool ctrl) {
    b.ResetButton.MouseDown(ui::MouseButton::Left, {}, {});
    EXPECT_TRUE(b.SettingsTimer.Enabled());
    for (int i = 0; i < ticks; ++i)
      b.SettingsTimer.Fire();
    const std::string shown = b.ResetButton.Caption();
    ui::ShiftState shift;
    shift.ctrl = ctrl;
    b.ResetButton.MouseUp(ui::MouseButton::Left, shift, {});
    EXPECT_FALSE(b.SettingsTimer.Enabled());
    EXPECT_EQ(b.ResetButton.Caption(), "Restore defaults");
    return shown;
  };
  EXPECT_EQ(hold(1, false), "Wait 2.9 seconds");
  EXPECT_EQ(hold(29, false), "Wait 0.1 seconds");
  EXPECT_EQ(b.DefaultValues().bitrate, 320) << "released too early: nothing happens";

  EXPECT_EQ(hold(31, true), "Release");
  EXPECT_EQ(b.DefaultValues().show_encoder_console, 1)
      << "Ctrl at the release only toggles the console";
  EXPECT_EQ(b.DefaultValues().bitrate, 320);

  EXPECT_EQ(hold(30, false), "Wait 0.0 seconds");
  EXPECT_EQ(b.DefaultValues().bitrate, 128);
  EXPECT_FALSE(b.RegistryButton.Down());
  EXPECT_FALSE(f.system.classes.KeyExists("audio/x-wav\\shell\\Blade it"));
  EXPECT_TRUE(f.system.classes.KeyExists("audio/x-wav\\shell")) << "shell stays";
  for (const std::string& file : verb_files)
    EXPECT_FALSE(std::filesystem::exists(file)) << file;
  EXPECT_TRUE(std::filesystem::exists(data + "/applications/other.desktop")) << "only ours go";
  for (const char* gone : {"BladePath", "Path", "Recent0"}) {
    EXPECT_EQ(f.system.registry.ReadString(kKey, gone).status, platform::ReadStatus::Missing)
        << gone;
  }
  EXPECT_FALSE(b.RecentMenu.Item(0).Visible());
  EXPECT_EQ(b.BladePath.Text(), "bladeenc");
}

}  // namespace
}  // namespace tolvane::app
