#include "posix_volumes.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace tolvane::posix {

namespace {

constexpr std::array<std::string_view, 24> kPseudoTypes = {
    "proc",       "sysfs",   "cgroup",    "cgroup2",         "devpts",      "devtmpfs",
    "mqueue",     "debugfs", "tracefs",   "securityfs",      "pstore",      "bpf",
    "configfs",   "fusectl", "hugetlbfs", "autofs",          "binfmt_misc", "efivarfs",
    "rpc_pipefs", "nsfs",    "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal", "ramfs"};

constexpr std::array<std::string_view, 4> kSystemTrees = {"/proc", "/sys", "/dev", "/run"};

template <size_t N>
bool OneOf(std::string_view value, const std::array<std::string_view, N>& table) {
  return std::find(table.begin(), table.end(), value) != table.end();
}

std::string DecodeOctalEscapes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() &&
        std::all_of(text.begin() + i + 1, text.begin() + i + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                               (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool Under(std::string_view path, std::string_view point) {
  if (point == "/")
    return path.starts_with('/');
  return path == point ||
         (path.starts_with(point) && path.size() > point.size() && path[point.size()] == '/');
}

}  // namespace

std::vector<Mount> ParseMountTable(const std::string& text) {
  std::vector<Mount> mounts;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (fields >> device >> point >> type)
      mounts.push_back({DecodeOctalEscapes(device), DecodeOctalEscapes(point), type});
  }
  return mounts;
}

std::vector<std::string> MountedVolumes(const std::vector<Mount>& mounts) {
  std::vector<std::string> points;
  for (const Mount& mount : mounts) {
    if (OneOf(mount.type, kPseudoTypes))
      continue;
    // Removable disks are mounted below /run/media by some desktops.
    if (std::any_of(kSystemTrees.begin(), kSystemTrees.end(),
                    [&](std::string_view tree) { return Under(mount.point, tree); }) &&
        !Under(mount.point, "/run/media")) {
      continue;
    }
    std::erase(points, mount.point);
    points.push_back(mount.point);
  }
  return points;
}

std::vector<std::string> UserVolumes(const std::vector<Mount>& mounts,
                                     const std::function<bool(const std::string&)>& writable) {
  std::vector<std::string> points;
  for (const std::string& point : MountedVolumes(mounts)) {
    if (point != "/" && writable(point))
      points.push_back(point);
  }
  // "/" is always there to pick, first as a file manager lists it.
  points.insert(points.begin(), "/");
  return points;
}

PosixVolumes::PosixVolumes() {
  std::ifstream table("/proc/self/mounts");
  std::stringstream text;
  text << table.rdbuf();
  const std::vector<Mount> mounts = ParseMountTable(text.str());
  points_ = MountedVolumes(mounts);
  if (points_.empty())
    points_.push_back("/");
  menu_points_ = UserVolumes(mounts, [](const std::string& point) {
    struct stat info {};
    return ::stat(point.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(point.c_str(), W_OK | X_OK) == 0;
  });
}

PosixVolumes::PosixVolumes(std::vector<std::string> mount_points)
    : points_(std::move(mount_points)), menu_points_(points_) {}

std::string PosixVolumes::VolumeOf(const std::string& path) {
  std::string best;
  for (const std::string& point : points_) {
    if (Under(path, point) && point.size() > best.size())
      best = point;
  }
  return best;
}

std::optional<int64_t> PosixVolumes::FreeSpace(const std::string& path) {
  struct statvfs info {};
  if (path.empty() || ::statvfs(path.c_str(), &info) != 0)
    return std::nullopt;
  // What the user may write, as df shows it: blocks kept for root are no use to the encoder.
  return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

}  // namespace tolvane::posix
