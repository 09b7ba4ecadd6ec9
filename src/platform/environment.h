#pragma once

#include <optional>
#include <string>

namespace tolvane::platform {

// What the program reads of the environment it was started in.
class Environment {
 public:
  virtual ~Environment() = default;
  // The process's current folder, absolute; "" when it cannot be read.
  virtual std::string CurrentFolder() const = 0;
  // The value of an environment variable; nullopt when it is not set.
  virtual std::optional<std::string> Variable(const std::string& name) const = 0;
};

}  // namespace tolvane::platform
