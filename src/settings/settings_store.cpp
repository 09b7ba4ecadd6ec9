#include "settings_store.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace tolvane::settings {

std::optional<int32_t> ParseInteger(const std::string& text) {
  std::string digits = text;
  int base = 10;
  if (digits.size() > 2 && (digits.starts_with("0x") || digits.starts_with("0X"))) {
    digits = digits.substr(2);
    base = 16;
  } else if (digits.size() > 1 && digits.starts_with('$')) {
    digits = digits.substr(1);
    base = 16;
  }
  if (digits.empty())
    return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(digits.c_str(), &end, base);
  if (errno != 0 || end == digits.c_str() || *end != '\0')
    return std::nullopt;
  if (base == 16 && value >= 0 && value <= std::numeric_limits<uint32_t>::max()) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  }
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

SettingsStore::SettingsStore(platform::RegistryStore& registry, std::string key)
    : registry_(registry), key_(std::move(key)) {}

std::optional<std::string> SettingsStore::Text(const std::string& name,
                                               const std::string& fallback) const {
  const platform::StringRead read = registry_.ReadString(key_, name);
  switch (read.status) {
    case platform::ReadStatus::Ok:
      return read.text;
    case platform::ReadStatus::Missing:
      return fallback;
    case platform::ReadStatus::WrongType:
      break;
  }
  return std::nullopt;
}

std::optional<int32_t> SettingsStore::Integer(const std::string& name, int32_t fallback) const {
  const std::optional<std::string> text = Text(name, {});
  if (!text)
    return std::nullopt;
  return ParseInteger(*text).value_or(fallback);
}

std::optional<bool> SettingsStore::Switch(const std::string& name, bool fallback) const {
  const std::optional<int32_t> value = Integer(name, fallback ? 1 : 0);
  if (!value)
    return std::nullopt;
  return *value != 0;
}

bool SettingsStore::WriteInteger(const std::string& name, int32_t value) {
  return WriteText(name, std::to_string(value));
}

bool SettingsStore::WriteText(const std::string& name, const std::string& text) {
  return registry_.WriteString(key_, name, text);
}

}  // namespace tolvane::settings
