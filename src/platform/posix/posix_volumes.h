#pragma once

#include <string>
#include <vector>

#include "platform/volumes.h"

namespace tolvane::posix {

// One line of a mount table.
struct Mount {
  std::string device;
  std::string point;
  std::string type;
};

// Reads a mount table in the /proc/self/mounts form; mount points have their octal escapes
// ("\040" for a blank) decoded.
std::vector<Mount> ParseMountTable(const std::string& text);
// Every file system files can lie on: pseudo file systems and the system's own trees (/proc,
// /sys, /dev, /run) left out, each point once (a later mount hides an earlier one). A path's
// volume, and so its free space, is found among these.
std::vector<std::string> MountedVolumes(const std::vector<Mount>& mounts);
// The volumes a file manager shows a user, for the drive menu: "/", and disks (block devices)
// and network shares mounted outside the system's own folders: no loop images (squashfs),
// container layers (overlay), memory file systems, boot or EFI partitions.
std::vector<std::string> UserVolumes(const std::vector<Mount>& mounts);

class PosixVolumes final : public platform::Volumes {
 public:
  // Reads the mount table of this process.
  PosixVolumes();
  // A fixed table, as tests give it.
  explicit PosixVolumes(std::vector<std::string> mount_points);

  std::vector<std::string> List() override { return menu_points_; }
  std::string VolumeOf(const std::string& path) override;
  std::optional<int64_t> FreeSpace(const std::string& path) override;

 private:
  std::vector<std::string> points_;
  std::vector<std::string> menu_points_;
};

}  // namespace tolvane::posix
