#pragma once

#include "platform/clock.h"

namespace tolvane::posix {

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits.
class MonotonicClock final : public platform::Clock {
 public:
  uint32_t GetTickCount() override;
};

}  // namespace tolvane::posix
