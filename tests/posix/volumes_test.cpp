#include <gtest/gtest.h>
#include <filesystem>
#include <set>

#include "platform/posix/posix_volumes.h"
#include "support/audio_files.h"

namespace tolvane::posix {
namespace {

// Every real file system counts for a path's free space; the drive menu shows "/" and every one
// of them the user may write files in: a separate /home, disks, shares and a tmpfs alike.
TEST(Volumes, MountTableGivesTheVolumesOfPathsAndOfTheDriveMenu) {
  const std::string table =
      "proc /proc proc rw 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "overlay / overlay rw 0 0\n"
      "/dev/vda / ext4 rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\n"
      "/dev/vdb /home ext4 rw 0 0\n"
      "/dev/sdc1 /media/My\\040Music vfat rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "/dev/vdc /home ext4 rw 0 0\n"
      "/dev/loop3 /snap/core22/1380 squashfs ro 0 0\n"
      "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
      "/dev/nvme0n1p2 /boot ext4 rw 0 0\n"
      "overlay /var/lib/docker/overlay2/abc/merged overlay rw 0 0\n"
      "/dev/sdd1 /run/media/ann/USB\\040STICK exfat rw 0 0\n"
      "/dev/sde1 /mnt/archive xfs rw 0 0\n"
      "/dev/vda /etc/hosts ext4 rw 0 0\n"
      "nas:/music /srv/nas nfs4 rw 0 0\n";
  const std::vector<Mount> mounts = ParseMountTable(table);
  const std::set<std::string> only_root = {"/snap/core22/1380", "/boot/efi", "/boot",
                                           "/var/lib/docker/overlay2/abc/merged", "/etc/hosts"};
  EXPECT_EQ(
      UserVolumes(mounts, [&](const std::string& point) { return !only_root.contains(point); }),
      (std::vector<std::string>{"/", "/media/My Music", "/tmp", "/home", "/run/media/ann/USB STICK",
                                "/mnt/archive", "/srv/nas"}));
  EXPECT_EQ(MountedVolumes(mounts),
            (std::vector<std::string>{"/", "/media/My Music", "/tmp", "/home", "/snap/core22/1380",
                                      "/boot/efi", "/boot", "/var/lib/docker/overlay2/abc/merged",
                                      "/run/media/ann/USB STICK", "/mnt/archive", "/etc/hosts",
                                      "/srv/nas"}));
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
  // What the user may write, as df shows it; other writers on the disk move the figure between
  // the two readings.
  EXPECT_NEAR(static_cast<double>(*free),
              static_cast<double>(std::filesystem::space(volume).available), 64.0 * 1024 * 1024);
  EXPECT_EQ(volumes.FreeSpace(temp / "missing/deeper"), std::nullopt);
}

}  // namespace
}  // namespace tolvane::posix
