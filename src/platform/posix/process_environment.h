#pragma once

#include "platform/environment.h"

namespace tolvane::posix {

// The environment of this process: getcwd and getenv.
class ProcessEnvironment final : public platform::Environment {
 public:
  std::string CurrentFolder() const override;
  std::optional<std::string> Variable(const std::string& name) const override;
};

}  // namespace tolvane::posix
