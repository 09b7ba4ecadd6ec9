#pragma once

#include <cstdint>

namespace tolvane::platform {

// Milliseconds since some fixed point, 32 bits wide: the count wraps after 49.7 days.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t GetTickCount() = 0;
};

// The time from `earlier` to `later`, correct across one wrap of the count.
inline uint32_t TicksBetween(uint32_t earlier, uint32_t later) {
  return later - earlier;
}

}  // namespace tolvane::platform
