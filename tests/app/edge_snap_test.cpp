#include "app/edge_snap.h"

#include <gtest/gtest.h>

namespace tolvane::app {
namespace {

TEST(EdgeSnap, SnapsWithinFourteenPixelsOfEachEdge) {
  const ui::Rect area{0, 0, 1280, 1000};
  struct Case {
    const char* name;
    ui::Rect proposed;
    ui::Point expected;
  };
  const Case cases[] = {
      {"left 14 px in", {14, 300, 503, 365}, {0, 300}},
      {"left 15 px in stays", {15, 300, 503, 365}, {15, 300}},
      {"left 14 px out", {-14, 300, 503, 365}, {0, 300}},
      {"left 15 px out stays", {-15, 300, 503, 365}, {-15, 300}},
      {"top 14 px", {300, 14, 503, 365}, {300, 0}},
      {"top 15 px stays", {300, 15, 503, 365}, {300, 15}},
      {"right gap 14", {1280 - 503 - 14, 300, 503, 365}, {1280 - 503, 300}},
      {"right gap 15 stays", {1280 - 503 - 15, 300, 503, 365}, {1280 - 503 - 15, 300}},
      {"bottom gap 14", {300, 1000 - 365 - 14, 503, 365}, {300, 1000 - 365}},
      {"10 px below the bottom", {300, 1000 - 365 + 10, 503, 365}, {300, 1000 - 365}},
      {"bottom gap -15 stays", {300, 1000 - 365 + 15, 503, 365}, {300, 1000 - 365 + 15}},
      {"corner", {5, 1000 - 360, 503, 365}, {0, 1000 - 365}},
      {"middle stays", {400, 300, 503, 365}, {400, 300}},
  };
  for (const Case& c : cases) {
    const ui::Rect snapped = SnapToWorkArea(c.proposed, area);
    EXPECT_EQ((ui::Point{snapped.left, snapped.top}), c.expected) << c.name;
    EXPECT_EQ(snapped.width, c.proposed.width) << c.name;
    EXPECT_EQ(snapped.height, c.proposed.height) << c.name;
  }
}

TEST(EdgeSnap, WorksOnAWorkAreaThatDoesNotStartAtZeroAndRightWinsOverLeft) {
  const ui::Rect area{100, 30, 800, 600};  // a panel on the left and one at the top
  EXPECT_EQ(SnapToWorkArea({110, 40, 200, 100}, area), (ui::Rect{100, 30, 200, 100}));
  // A window 10 px narrower than the work area, placed 5 px in: the left rule puts it at the
  // left edge, then the right rule (gap 10) moves it to the right edge.
  EXPECT_EQ(SnapToWorkArea({105, 300, 790, 100}, area), (ui::Rect{110, 300, 790, 100}));
}

// A stored place anywhere in the 32-bit range neither overflows nor opens the window where
// nobody can reach it.
TEST(EdgeSnap, StoredPlacesAtTheEndsOfTheRange) {
  const ui::Rect area{0, 0, 1280, 1000};
  constexpr int kMax = 2'147'483'647;
  constexpr int kMin = -2'147'483'647 - 1;
  const ui::Point centred{(1280 - 503) / 2, (1000 - 365) / 2};
  struct Case {
    ui::Point stored;
    ui::Point placed;
  };
  const Case cases[] = {
      {{kMax, kMax}, centred},    {{kMin, kMin}, centred},    {{kMax - 10, 300}, centred},
      {{400, kMin}, centred},     {{-500, 300}, {-500, 300}}, {{400, 300}, {400, 300}},
      {{1270, 990}, {1270, 990}}, {{-503, 300}, centred},
  };
  for (const Case& c : cases) {
    const ui::Point placed = PlaceOnWorkArea({c.stored.x, c.stored.y, 503, 365}, area);
    EXPECT_EQ(placed.x, c.placed.x) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(placed.y, c.placed.y) << c.stored.x << "," << c.stored.y;
    const ui::Rect snapped = SnapToWorkArea({c.stored.x, c.stored.y, 503, 365}, area);
    EXPECT_EQ(snapped.width, 503);
  }
}

}  // namespace
}  // namespace tolvane::app
