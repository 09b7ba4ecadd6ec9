#include <gtest/gtest.h>

#include "platform/ui/menu.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"

namespace tolvane::ui {
namespace {

struct Toolbar {
  Panel bar{"bar", nullptr};
  SpeedButton encode{"Encode", &bar, "Encode"};
  SpeedButton stop{"Stop", &bar, "Stop"};
  SpeedButton pause{"Pause", &bar, "Pause"};
  SpeedButton plain{"Bye", &bar, "Bye"};
  int clicks = 0;

  Toolbar() {
    encode.SetGroupIndex(1);
    stop.SetGroupIndex(1);
    pause.SetGroupIndex(2);
    pause.SetAllowAllUp(true);
    for (SpeedButton* button : {&encode, &stop, &pause, &plain}) {
      button->OnClick = [this] { ++clicks; };
    }
  }
};

TEST(SpeedButton, ButtonsOfOneGroupExcludeEachOther) {
  Toolbar t;
  t.encode.UserClick();
  EXPECT_TRUE(t.encode.Down());
  EXPECT_FALSE(t.stop.Down());
  t.stop.UserClick();
  EXPECT_TRUE(t.stop.Down());
  EXPECT_FALSE(t.encode.Down()) << "pressing Stop raises Encode";
  EXPECT_FALSE(t.pause.Down()) << "another group is left alone";
  EXPECT_EQ(t.clicks, 2);
}

TEST(SpeedButton, DownButtonOfGroupWithoutAllUpCannotBeRaisedDirectly) {
  Toolbar t;
  t.encode.SetDown(true);
  t.encode.SetDown(false);
  EXPECT_TRUE(t.encode.Down()) << "SetDown(false) is refused";
  t.encode.UserClick();
  EXPECT_TRUE(t.encode.Down()) << "a click does not raise it either";
  EXPECT_EQ(t.clicks, 1) << "but the click still reaches OnClick";

  // Allowing all up for a moment raises both, as the batch's idle state does.
  t.encode.SetAllowAllUp(true);
  t.stop.SetAllowAllUp(true);
  t.encode.SetDown(false);
  t.stop.SetDown(false);
  t.encode.SetAllowAllUp(false);
  t.stop.SetAllowAllUp(false);
  EXPECT_FALSE(t.encode.Down());
  EXPECT_FALSE(t.stop.Down());
}

TEST(SpeedButton, ToggleAndPlainButtons) {
  Toolbar t;
  t.pause.UserClick();
  EXPECT_TRUE(t.pause.Down());
  t.pause.UserClick();
  EXPECT_FALSE(t.pause.Down()) << "a group that allows all up toggles";

  t.plain.SetDown(true);
  EXPECT_FALSE(t.plain.Down()) << "a button without a group never stays down";
  t.plain.UserClick();
  EXPECT_EQ(t.clicks, 3);
}

TEST(SpeedButton, DisabledButtonIgnoresClicksAndGroupsNeedTheSameParent) {
  Toolbar t;
  t.stop.SetEnabled(false);
  t.stop.UserClick();
  EXPECT_FALSE(t.stop.Down());
  EXPECT_EQ(t.clicks, 0);

  Panel other{"other", nullptr};
  SpeedButton stranger{"stranger", &other};
  stranger.SetGroupIndex(1);
  t.encode.SetDown(true);
  stranger.SetDown(true);
  EXPECT_TRUE(t.encode.Down()) << "a button of another parent is not in the group";
}

TEST(SpeedButton, AtMostOneOfAPairThatAllowsAllUp) {
  Panel group{"group", nullptr};
  SpeedButton close{"CloseProg", &group};
  SpeedButton shutdown{"ShutDown", &group};
  for (SpeedButton* b : {&close, &shutdown}) {
    b->SetGroupIndex(7);
    b->SetAllowAllUp(true);
  }
  close.UserClick();
  shutdown.UserClick();
  EXPECT_FALSE(close.Down());
  EXPECT_TRUE(shutdown.Down());
  shutdown.UserClick();
  EXPECT_FALSE(close.Down());
  EXPECT_FALSE(shutdown.Down());
}

TEST(SpeedButton, DropDownIsRequestedAfterTheClick) {
  Panel bar{"bar", nullptr};
  SpeedButton button{"Bitrate", &bar, "128kbps"};
  std::vector<std::string> events;
  button.OnClick = [&] { events.push_back("click"); };
  auto no_menu = button.DropDownRequested.Connect([&] { events.push_back("drop"); });
  button.UserClick();
  EXPECT_EQ(events, std::vector<std::string>{"click"}) << "no menu, no drop-down";
  PopupMenu menu("BitrateMenu");
  button.SetDropdownMenu(&menu);
  button.UserClick();
  EXPECT_EQ(events, (std::vector<std::string>{"click", "click", "drop"}));
}

}  // namespace
}  // namespace tolvane::ui
