#include "settings/migration.h"

#include <gtest/gtest.h>

#include "platform/posix/registry_file.h"
#include "support/audio_files.h"

namespace tolvane::settings {
namespace {

TEST(Migration, TheEarlierSettingsMoveOnceWithTheirOwnDefaults) {
  testing::TempFolder temp;
  posix::RegistryFile user(temp / "u.reg", "HKEY_CURRENT_USER");
  posix::RegistryFile classes(temp / "c.reg", "HKEY_CLASSES_ROOT");
  EXPECT_FALSE(MigrateSettings(user, classes).moved);

  EXPECT_TRUE(user.WriteString("SOFTWARE\\Orvik\\Tolvex", "Bitrate", "192"));
  EXPECT_TRUE(user.WriteString("SOFTWARE\\Orvik\\Tolvex", "CRC", "5"));
  EXPECT_TRUE(user.WriteString("SOFTWARE\\Orvik\\Tolvex", "Path", "/home/ann"));
  EXPECT_TRUE(
      classes.WriteString("inode/directory\\shell\\Make mp3\\command", "", "\"/old/tolvex\""));
  EXPECT_TRUE(MigrateSettings(user, classes).moved);
  const std::string key = "SOFTWARE\\Orvik\\Tolvane";
  EXPECT_EQ(user.ReadString(key, "Bitrate").text, "192");
  EXPECT_EQ(user.ReadString(key, "CRC").text, "1") << "switches as 0 and 1";
  EXPECT_EQ(user.ReadString(key, "Top").text, "8");
  EXPECT_EQ(user.ReadString(key, "Left").text, "8");
  EXPECT_EQ(user.ReadString(key, "Selector").text, "0");
  EXPECT_EQ(user.ReadString(key, "Path").status, platform::ReadStatus::Missing) << "not copied";
  EXPECT_FALSE(user.KeyExists("SOFTWARE\\Orvik\\Tolvex"));
  EXPECT_EQ(classes.ReadString("inode/directory\\shell\\Blade it\\command", "").text,
            "\"/old/tolvex\"");
  const std::vector<std::string> written_order = {
      "Drive",        "CRC",       "Delete",   "Copy",      "Copyright", "Private", "Close",
      "Shutdown",     "Selector",  "Savelist", "Autostart", "Output",    "Bitrate", "Stereo",
      "Priority",     "Tree",      "Top",      "Left",      "BladePath", "Shell",   "OffSpace",
      "OffOverwrite", "DeleteBad", "Recent0",  "Recent1",   "Recent2",   "Recent3", "Recent4"};
  EXPECT_EQ(user.ValueNames(key), written_order);

  EXPECT_FALSE(MigrateSettings(user, classes).moved) << "only once";
}

}  // namespace
}  // namespace tolvane::settings
