#pragma once

#include <cstdint>

namespace tolvane::platform {

// An unsigned number of `count` bytes (at most 4) stored least significant byte first.
inline uint32_t LittleEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | bytes[i];
  return value;
}

// An unsigned number of `count` bytes (at most 4) stored most significant byte first.
inline uint32_t BigEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i)
    value = (value << 8) | bytes[i];
  return value;
}

}  // namespace tolvane::platform
