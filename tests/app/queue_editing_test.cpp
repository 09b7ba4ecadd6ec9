#include <gtest/gtest.h>

#include <string>

#include "blade_fixture.h"

namespace tolvane::app {
namespace {

// A window with files named by the letters of `names`, queued in that order.
struct EditingFixture : BladeFixture {
  explicit EditingFixture(const std::string& names) {
    for (char name : names)
      blade.AddPath(Wave(std::string(1, name) + ".wav"));
  }
  std::string Order() const {
    std::string order;
    for (const std::string& caption : Captions())
      order += caption;
    return order;
  }
  // Row i shows the model's entry i, however the rows moved.
  bool OrderFollowsRows() {
    for (int i = 0; i < blade.Queue.Count(); ++i) {
      if (blade.Queue.Item(i).Key() != Entry(i).Id ||
          blade.Queue.Item(i).Caption() != Entry(i).DisplayName)
        return false;
    }
    return blade.Queue.Count() == blade.QueueModel().Count();
  }
  static ui::Point PointOnRow(int row) {
    return {20, ui::ListView::kHeaderHeight + row * ui::ListView::kRowHeight + 3};
  }
  void Select(const std::string& names) {
    blade.Queue.Rows().ClearSelection();
    for (int i = 0; i < blade.Queue.Count(); ++i) {
      if (names.find(blade.Queue.Item(i).Caption()) != std::string::npos)
        blade.Queue.Item(i).SetSelected(true);
    }
  }
  // The user right-clicks at `at` and the files menu opens; its item `name` is then chosen when
  // it is enabled.
  bool Choose(const std::string& name, ui::Point at = {0, 0}) {
    blade.Queue.ContextPopup(at, {0, 0});
    ui::MenuItem* item = blade.FilesMenu.FindByName(name);
    if (!item->Enabled())
      return false;
    item->Click();
    return true;
  }
  bool Enabled(const std::string& name) {
    blade.Queue.ContextPopup({0, 0}, {0, 0});
    return blade.FilesMenu.FindByName(name)->Enabled();
  }
};

TEST(QueueEditing, CutAndPasteMoveTheGroupBelowTheRowUnderThePointer) {
  struct Case {
    const char* rows;
    const char* cut;
    int paste_on;  // -1: no row under the pointer
    const char* result;
  };
  const Case cases[] = {{"ABCDE", "BD", 2, "ACBDE"},
                        {"ABC", "A", 2, "BCA"},
                        {"ABC", "AB", 1, "ABC"},
                        {"ABC", "A", -1, "ABC"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.rows) + " cut " + c.cut);
    EditingFixture f(c.rows);
    f.Select(c.cut);
    ASSERT_TRUE(f.Choose("CutGroup"));
    f.blade.Queue.Rows().ClearSelection();
    const ui::Point at =
        c.paste_on >= 0 ? EditingFixture::PointOnRow(c.paste_on) : ui::Point{400, 5};
    ASSERT_TRUE(f.Choose("PasteGroup", at));
    EXPECT_EQ(f.Order(), c.result);
    EXPECT_TRUE(f.OrderFollowsRows());
    bool any_cut = false;
    for (int i = 0; i < f.blade.Queue.Count(); ++i)
      any_cut = any_cut || f.blade.Queue.Item(i).Cut();
    EXPECT_EQ(any_cut, c.paste_on < 0) << "a paste clears the marks; a miss keeps them";
    EXPECT_EQ(f.blade.Editing().PastePoint, (ui::Point{0, 0}));
  }

  EditingFixture esc("ABC");
  esc.Select("AB");
  esc.Choose("CutGroup");
  esc.Select("B");
  esc.Choose("CutGroup");
  EXPECT_TRUE(esc.blade.Queue.Item(0).Cut());
  EXPECT_FALSE(esc.blade.Queue.Item(1).Cut()) << "a second Cut takes the row out again";
  esc.blade.Queue.OnKeyPress(27);
  EXPECT_FALSE(esc.blade.Queue.Item(0).Cut());
  EXPECT_FALSE(esc.Enabled("PasteGroup")) << "Esc cleared every mark";
}

TEST(QueueEditing, SortingByTheMenuOfTheNameHeader) {
  EditingFixture f("");
  f.blade.AddPath(f.Wave("alpha.wav", 3'000'044));
  f.blade.AddPath(f.Wave("Zeta.wav", 1'000'044));
  f.blade.AddPath(f.Wave("beta.wav", 2'000'044));
  ui::Point opened_at{-1, -1};
  platform::Subscription opened =
      f.blade.SortMenu.PopupRequested.Connect([&](ui::Point at) { opened_at = at; });
  f.blade.Queue.OnColumnClick(1);
  EXPECT_EQ(opened_at, (ui::Point{-1, -1})) << "the Status header has no menu";
  f.blade.Queue.OnColumnClick(0);
  const ui::Rect list = f.blade.Queue.ScreenBounds();
  EXPECT_EQ(opened_at, (ui::Point{list.left + 3, list.top + 22}));

  const std::pair<const char*, std::vector<std::string>> sorts[] = {
      {"Ascending by File name", {"Zeta", "alpha", "beta"}},
      {"Descending by File name", {"beta", "alpha", "Zeta"}},
      {"Ascending by Full path", {"Zeta", "alpha", "beta"}},
      {"Ascending by Req. space", {"Zeta", "beta", "alpha"}},
      {"Descending by Req. space", {"alpha", "beta", "Zeta"}}};
  for (const auto& [caption, order] : sorts) {
    f.blade.SortMenu.FindByCaption(caption)->Click();
    EXPECT_EQ(f.Captions(), order) << caption;
    EXPECT_TRUE(f.OrderFollowsRows()) << caption;
  }

  // Dragged among the sorted rows, and a new file goes to the bottom.
  f.Select("Zeta");
  f.blade.Queue.OnMouseDown(ui::MouseButton::Left, {}, EditingFixture::PointOnRow(2));
  f.blade.Queue.OnMouseMove({.left_button = true}, EditingFixture::PointOnRow(1));
  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"alpha", "Zeta", "beta"}));
  f.blade.Queue.OnMouseUp(ui::MouseButton::Left, {}, EditingFixture::PointOnRow(1));
  f.blade.AddPath(f.Wave("gamma.wav"));
  EXPECT_EQ(f.Captions(), (std::vector<std::string>{"alpha", "Zeta", "beta", "gamma"}));
  EXPECT_TRUE(f.OrderFollowsRows());
}

// Only rows waiting, skipped or finished may be removed or cut; removing forgets their work.
TEST(QueueEditing, RemovingRows) {
  EditingFixture f("ABCDE");
  EXPECT_FALSE(f.Enabled("RemoveFile")) << "nothing selected";
  EXPECT_FALSE(f.Enabled("ID3TagItem"));
  EXPECT_FALSE(f.Enabled("RemoveCompleted"));
  f.SetState(1, queue::EntryState::Preparing());
  f.Select("AB");
  EXPECT_TRUE(f.Enabled("ID3TagItem"));
  EXPECT_FALSE(f.Enabled("RemoveFile"));
  EXPECT_FALSE(f.Enabled("CutGroup"));
  EXPECT_TRUE(f.Enabled("AddFile"));
  f.blade.Queue.OnKeyDown(ui::keys::kDelete, {});
  EXPECT_EQ(f.Order(), "ABCDE") << "Delete does nothing while a selected row is at work";

  for (int row : {1, 2, 4}) {
    f.SetState(row, queue::EntryState::Completed(row, ""));
    f.Entry(row).EncodeTime = row;
  }
  ASSERT_TRUE(f.Choose("RemoveCompleted"));
  EXPECT_EQ(f.Order(), "AD");
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "002") << "the totals follow";

  f.SetState(1, queue::EntryState::Skipped());
  f.Entry(1).EncodeTime = 0;
  f.Select("AD");
  f.blade.Queue.OnKeyDown(ui::keys::kDelete, {});
  EXPECT_EQ(f.blade.Queue.Count(), 0);
  EXPECT_EQ(f.blade.AllBar1.Panel(2).Text(), "000");
}

// Holding a grabbed block on the top visible row scrolls up every 500 ms, one row at a time,
// until the block reaches the top; a step past an edge stops at the edge.
TEST(QueueEditing, DraggingScrollsAtTheEdgesAndNeverLeavesTheList) {
  EditingFixture f("ABCDEFGHIJKLMNOPQRST");
  ui::ListView& q = f.blade.Queue;
  ASSERT_EQ(q.VisibleRowCount(), 10);
  q.MakeVisible(19);
  ASSERT_EQ(q.TopIndex(), 10);
  f.Select("MN");
  q.OnMouseDown(ui::MouseButton::Left, {}, EditingFixture::PointOnRow(2));  // M, row 12
  q.OnMouseMove({.left_button = true}, EditingFixture::PointOnRow(0));      // the top visible row
  EXPECT_TRUE(f.blade.ScrollTimer.Enabled());
  EXPECT_EQ(f.blade.ScrollTimer.Interval(), 500u);
  EXPECT_EQ(f.Order(), "ABCDEFGHIJMNKLOPQRST") << "the block follows the pointer";
  int ticks = 0;
  while (f.blade.ScrollTimer.Enabled() && ticks < 50) {
    f.blade.ScrollTimer.Fire();
    ++ticks;
    if (ticks == 1) {
      EXPECT_EQ(q.TopIndex(), 9) << "16 pixels: one row up";
    }
  }
  EXPECT_EQ(f.Order(), "MNABCDEFGHIJKLOPQRST");
  EXPECT_EQ(q.TopIndex(), 0);
  EXPECT_FALSE(f.blade.ScrollTimer.Enabled()) << "it stops at the top";
  EXPECT_TRUE(f.OrderFollowsRows());
  q.OnMouseUp(ui::MouseButton::Left, {}, {});

  // Grabbing the lower row of a block at the top and jumping down past the end.
  EditingFixture g("ABCDE");
  g.Select("BC");
  g.blade.Queue.OnMouseDown(ui::MouseButton::Left, {}, EditingFixture::PointOnRow(1));
  g.blade.Editing().MoveSelection(10);
  EXPECT_EQ(g.Order(), "ADEBC");
  g.blade.Editing().MoveSelection(-10);
  EXPECT_EQ(g.Order(), "BCEAD") << "each row trades places with the one three rows up";
  EXPECT_EQ(g.blade.Editing().FirstSelected, 0);
  EXPECT_EQ(g.blade.Editing().LastSelected, 1);
  EXPECT_TRUE(g.OrderFollowsRows());
}

}  // namespace
}  // namespace tolvane::app
