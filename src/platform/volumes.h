#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::platform {

// Mounted volumes (the POSIX form of drives), named by their mount points.
class Volumes {
 public:
  virtual ~Volumes() = default;
  // The mount points of real file systems, in mount order; pseudo file systems left out.
  [[nodiscard]] virtual std::vector<std::string> List() = 0;
  // The mount point with the longest prefix match of the absolute path, compared
  // case-sensitively; empty for a relative path.
  [[nodiscard]] virtual std::string VolumeOf(const std::string& path) = 0;
  // Free bytes on the volume holding `path`, all of them (not only what an unprivileged user
  // may fill); nullopt when unknown.
  [[nodiscard]] virtual std::optional<int64_t> FreeSpace(const std::string& path) = 0;
};

}  // namespace tolvane::platform
