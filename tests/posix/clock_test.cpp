#include <gtest/gtest.h>

#include "platform/posix/monotonic_clock.h"

namespace tolvane::posix {
namespace {

TEST(Clock, ElapsedTimeSurvivesTheWrapOfTheCount) {
  EXPECT_EQ(platform::TicksBetween(0xFFFFFF00u, 0x00000100u), 0x200u);
  EXPECT_EQ(platform::TicksBetween(1000, 61000), 60000u);

  MonotonicClock clock;
  const uint32_t first = clock.GetTickCount();
  const uint32_t second = clock.GetTickCount();
  EXPECT_LT(platform::TicksBetween(first, second), 1000u) << "the clock runs forward";
}

}  // namespace
}  // namespace tolvane::posix
