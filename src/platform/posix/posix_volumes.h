#pragma once

#include <functional>
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
// The volumes of the drive menu: "/" first, then every volume files can lie on (as above) that
// is `writable` for the user: disks, shares, memory file systems (a RAM disk, /tmp) alike; a
// read-only image or a system partition only root may write is left out.
std::vector<std::string> UserVolumes(const std::vector<Mount>& mounts,
                                     const std::function<bool(const std::string&)>& writable);

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
