#include "registry.h"

namespace tolvane::platform {

RegValue RegValue::Dword(uint32_t value) {
  RegValue result{reg_type::kDword, {}, {}};
  for (int i = 0; i < 4; ++i)
    result.bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return result;
}

StringRead RegistryStore::ReadString(const std::string& key, const std::string& name) const {
  const std::optional<RegValue> value = ReadValue(key, name);
  if (!value)
    return {ReadStatus::Missing, {}};
  if (value->type != reg_type::kString && value->type != reg_type::kExpandString)
    return {ReadStatus::WrongType, {}};
  return {ReadStatus::Ok, value->text};
}

}  // namespace tolvane::platform
