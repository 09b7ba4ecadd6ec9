#include <gtest/gtest.h>
#include <filesystem>

#include "platform/posix/posix_volumes.h"
#include "support/audio_files.h"

namespace tolvane::posix {
namespace {

TEST(Volumes, MountTableLeavesOutPseudoFileSystemsAndSystemTrees) {
  const std::string table =
      "proc /proc proc rw 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "/dev/vda / ext4 rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\n"
      "/dev/vdb /home ext4 rw 0 0\n"
      "/dev/sdc1 /media/My\\040Music vfat rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "/dev/vdc /home ext4 rw 0 0\n";
  EXPECT_EQ(UserVolumes(ParseMountTable(table)),
            (std::vector<std::string>{"/", "/media/My Music", "/tmp", "/home"}));
}

TEST(Volumes, VolumeOfAPathIsTheLongestMatchingMountPoint) {
  PosixVolumes volumes({"/", "/home", "/home/ann/music", "/media/usb"});
  const std::pair<const char*, const char*> cases[] = {
      {"/home/ann/music/a.wav", "/home/ann/music"},
      {"/home/ann/musical/a.wav", "/home"},
      {"/home", "/home"},
      {"/homework/a.wav", "/"},
      {"/Home/a.wav", "/"},  // case counts
      {"/media/usb/x", "/media/usb"},
      {"relative/a.wav", ""},
  };
  for (const auto& [path, expected] : cases)
    EXPECT_EQ(volumes.VolumeOf(path), expected) << path;
}

TEST(Volumes, TheTemporaryFolderLiesOnAVolumeWithReadableFreeSpace) {
  testing::TempFolder temp;
  PosixVolumes volumes;
  const std::vector<std::string> list = volumes.List();
  ASSERT_FALSE(list.empty());
  const std::string volume = volumes.VolumeOf(temp.Path());
  ASSERT_FALSE(volume.empty());
  EXPECT_NE(std::find(list.begin(), list.end(), volume), list.end());
  const std::optional<int64_t> free = volumes.FreeSpace(volume);
  ASSERT_TRUE(free.has_value());
  // Other writers on the disk move the figure between the two readings.
  EXPECT_NEAR(static_cast<double>(*free),
              static_cast<double>(std::filesystem::space(volume).free), 64.0 * 1024 * 1024);
  EXPECT_EQ(volumes.FreeSpace(temp / "missing/deeper"), std::nullopt);
}

}  // namespace
}  // namespace tolvane::posix
