#include "process_environment.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace tolvane::posix {

std::string ProcessEnvironment::CurrentFolder() const {
  const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
  return folder ? std::string(folder.get()) : std::string();
}

std::optional<std::string> ProcessEnvironment::Variable(const std::string& name) const {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr)
    return std::nullopt;
  return std::string(value);
}

}  // namespace tolvane::posix
