#include <gtest/gtest.h>

#include "platform/ui/menu.h"

namespace tolvane::ui {
namespace {

std::vector<bool> Checks(const PopupMenu& menu) {
  std::vector<bool> checks;
  for (int i = 0; i < menu.Count(); ++i)
    checks.push_back(menu.Item(i).Checked());
  return checks;
}

TEST(PopupMenu, RadioItemsOfOneGroupExcludeEachOther) {
  PopupMenu menu("EstMenu");
  menu.AddRadioGroup({"Current", "Batch"}, {5001, 5002});
  MenuItem& loose = menu.Add("Loose", "Loose", 0);
  MenuItem& other_group = menu.Add("Other", "Other", 0);
  other_group.SetRadioItem(true);
  other_group.SetGroupIndex(3);

  loose.SetChecked(true);
  other_group.SetChecked(true);
  menu.Item(0).SetChecked(true);
  EXPECT_EQ(Checks(menu), (std::vector<bool>{true, false, true, true}));
  menu.Item(1).SetChecked(true);
  EXPECT_EQ(Checks(menu), (std::vector<bool>{false, true, true, true}))
      << "only radio items of the same group lose their check";
  menu.Item(1).SetChecked(false);
  EXPECT_EQ(Checks(menu), (std::vector<bool>{false, false, true, true}));
}

TEST(PopupMenu, PopupRunsOnPopupBeforeTheViewShowsIt) {
  PopupMenu menu("FilesMenu");
  MenuItem& remove = menu.Add("RemoveFile", "Remove", 0);
  std::vector<std::string> events;
  menu.OnPopup = [&](PopupMenu&) {
    events.push_back("popup");
    remove.SetEnabled(false);
  };
  auto shown = menu.PopupRequested.Connect([&](Point at) {
    events.push_back("show " + std::to_string(at.x) + "," + std::to_string(at.y) +
                     (remove.Enabled() ? " enabled" : " disabled"));
  });
  menu.Popup({1, 20});
  EXPECT_EQ(events, (std::vector<std::string>{"popup", "show 1,20 disabled"}));
}

TEST(PopupMenu, ClicksReachEnabledItemsWithTheirTags) {
  PopupMenu menu("BitrateMenu");
  for (int kbps : {32, 128, 320})
    menu.Add({}, std::to_string(kbps) + "kbps", 2000 + kbps);
  std::vector<int> clicked;
  for (int i = 0; i < menu.Count(); ++i) {
    menu.Item(i).OnClick = [&](MenuItem& item) { clicked.push_back(item.Tag()); };
  }
  menu.Item(1).Click();
  menu.Item(2).SetEnabled(false);
  menu.Item(2).Click();
  EXPECT_EQ(clicked, std::vector<int>{2128});
  EXPECT_EQ(menu.FindByCaption("320kbps")->Index(), 2);
  EXPECT_EQ(menu.FindByCaption("64kbps"), nullptr);
}

}  // namespace
}  // namespace tolvane::ui
