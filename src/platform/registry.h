#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "result.h"

namespace tolvane::platform {

// Value types, numbered as the registry numbers them.
namespace reg_type {
inline constexpr uint32_t kString = 1;
inline constexpr uint32_t kExpandString = 2;
inline constexpr uint32_t kBinary = 3;
inline constexpr uint32_t kDword = 4;
inline constexpr uint32_t kMultiString = 7;
inline constexpr uint32_t kQword = 11;
}  // namespace reg_type

// A registry value: text for the string types, raw bytes for every other type. A string stored
// as bytes (hex(1) or hex(2) in the file) keeps them too, so that it is written back unchanged.
struct RegValue {
  uint32_t type = reg_type::kString;
  std::string text;
  std::vector<uint8_t> bytes;

  static RegValue String(std::string text) { return {reg_type::kString, std::move(text), {}}; }
  static RegValue Dword(uint32_t value);
  friend bool operator==(const RegValue&, const RegValue&) = default;
};

enum class ReadStatus { Ok, Missing, WrongType };

struct StringRead {
  ReadStatus status = ReadStatus::Missing;
  std::string text;
};

// One root of the registry (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT). Keys are paths below the
// root with "\" between levels ("SOFTWARE\Orvik\Tolvane"); the empty value name is the key's
// default value. Key and value names compare without regard to case and keep the spelling they
// were first created with.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  [[nodiscard]] virtual bool KeyExists(const std::string& key) const = 0;
  // Creates the key and any missing key above it.
  [[nodiscard]] virtual bool CreateKey(const std::string& key) = 0;
  // Deletes the key with everything below it; false when it did not exist.
  [[nodiscard]] virtual bool DeleteKey(const std::string& key) = 0;

  [[nodiscard]] virtual std::optional<RegValue> ReadValue(const std::string& key,
                                                          const std::string& name) const = 0;
  // Creates the key when needed.
  [[nodiscard]] virtual bool WriteValue(const std::string& key, const std::string& name,
                                        const RegValue& value) = 0;
  [[nodiscard]] virtual bool DeleteValue(const std::string& key, const std::string& name) = 0;
  // Names as first spelled, in the order they were created.
  [[nodiscard]] virtual std::vector<std::string> ValueNames(const std::string& key) const = 0;
  [[nodiscard]] virtual std::vector<std::string> SubkeyNames(const std::string& key) const = 0;

  // Writes the store back to where it lives; when that fails, what was there before is left
  // whole.
  virtual Result Flush() = 0;

  // A string value: Missing when the key or value is absent, WrongType when it holds another type.
  [[nodiscard]] StringRead ReadString(const std::string& key, const std::string& name) const;
  [[nodiscard]] bool WriteString(const std::string& key, const std::string& name,
                                 const std::string& text) {
    return WriteValue(key, name, RegValue::String(text));
  }
};

}  // namespace tolvane::platform
