#include <gtest/gtest.h>

#include "platform/ui/list_view.h"

namespace tolvane::ui {
namespace {

// A list of 204 pixels' height, like the queue: ten whole rows are visible.
struct Fixture {
  ui::RowList rows;
  ListView list{"Queue", nullptr};

  Fixture() {
    list.Bind(rows);
    list.SetBounds({0, 0, 495, 204});
    list.AddColumn("Name", 315);
    list.AddColumn("Status", 145);
  }
  ListItem& Add(const std::string& caption, int order) {
    ListItem& item = rows.Add();
    item.SetCaption(caption);
    item.SetSubItem(0, "Queued");
    item.SetKey(static_cast<uint64_t>(order));
    return item;
  }
  std::string Captions() const {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
      text += list.Item(i).Caption();
    return text;
  }
};

int ByOrder(const ListItem& a, const ListItem& b) {
  return static_cast<int>(a.Key()) - static_cast<int>(b.Key());
}

TEST(ListView, CustomSortMovesRowsWithTheirKeysAndStates) {
  Fixture f;
  f.Add("C", 3);
  f.Add("A", 1).SetSelected(true);
  f.Add("B", 2).SetCut(true);
  f.list.Item(0).SetImageIndex(4);
  f.list.Item(0).SetStateIndex(5);

  f.rows.CustomSort(ByOrder);
  EXPECT_EQ(f.Captions(), "ABC");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.list.Item(i).Index(), i);
    EXPECT_EQ(f.list.Item(i).Key(), static_cast<uint64_t>(i + 1));
  }
  EXPECT_TRUE(f.list.Item(0).Selected());
  EXPECT_TRUE(f.list.Item(1).Cut());
  EXPECT_EQ(f.list.Item(2).ImageIndex(), 4);
  EXPECT_EQ(f.list.Item(2).StateIndex(), 5);
  EXPECT_EQ(f.list.Item(2).SubItem(0), "Queued");

  f.rows.CustomSort([](const ListItem& a, const ListItem& b) { return -ByOrder(a, b); });
  EXPECT_EQ(f.Captions(), "CBA");
}

TEST(ListView, SortKeepsEqualRowsInTheirOrder) {
  Fixture f;
  f.Add("x", 1);
  f.Add("y", 0);
  f.Add("z", 1);
  f.rows.CustomSort(ByOrder);
  EXPECT_EQ(f.Captions(), "yxz");
}

TEST(ListView, SelectionCountsAndWalk) {
  Fixture f;
  for (const char* name : {"a", "b", "c", "d", "e"})
    f.Add(name, 0);
  int selection_notices = 0;
  const platform::Subscription watching = f.rows.RowsChanged.Connect([&](const RowsChange& change) {
    selection_notices += change.kind == RowsChange::Kind::Selection ? 1 : 0;
  });
  EXPECT_EQ(f.list.SelCount(), 0);
  EXPECT_EQ(f.list.Selected(), nullptr);

  f.list.Item(1).SetSelected(true);
  f.list.Item(3).SetSelected(true);
  f.list.Item(3).SetSelected(true);  // no change, no event
  EXPECT_EQ(f.list.SelCount(), 2);
  EXPECT_EQ(f.list.Selected()->Caption(), "b");
  EXPECT_EQ(f.list.NextSelected(f.list.Selected())->Caption(), "d");
  EXPECT_EQ(f.list.NextSelected(&f.list.Item(3)), nullptr);
  EXPECT_EQ(selection_notices, 2);

  f.rows.SetSelection({0, 2, 3, 3});
  EXPECT_EQ(f.list.SelCount(), 3);
  EXPECT_EQ(selection_notices, 3) << "a whole selection is one notice";
  f.rows.SetSelection({0, 2, 3});
  EXPECT_EQ(selection_notices, 3) << "the same selection again is none";
  f.rows.SetSelection({1, 3});

  f.rows.Delete(1);
  EXPECT_EQ(f.list.SelCount(), 1) << "a deleted selected row leaves the count";
  f.rows.ClearSelection();
  EXPECT_EQ(f.list.SelCount(), 0);

  f.list.Item(0).SetFocused(true);
  f.list.Item(2).SetFocused(true);
  EXPECT_FALSE(f.list.Item(0).Focused()) << "one focused row at a time";
  EXPECT_EQ(f.list.ItemFocused(), &f.list.Item(2));
}

TEST(ListView, DeletionRenumbersTheRowsBelow) {
  Fixture f;
  f.Add("a", 0);
  f.Add("b", 0);
  f.Add("c", 0);
  f.rows.Delete(1);
  EXPECT_EQ(f.list.Item(1).Caption(), "c");
  EXPECT_EQ(f.list.Item(1).Index(), 1);
  f.rows.Clear();
  EXPECT_EQ(f.list.Count(), 0);
}

TEST(ListView, VisibleRowsRowAtPointAndScrolling) {
  Fixture f;
  for (int i = 0; i < 30; ++i)
    f.Add("row" + std::to_string(i), i);
  ASSERT_EQ(f.list.VisibleRowCount(), 10);

  struct Case {
    Point at;
    int expected;  // -1: no row
  };
  const Case cases[] = {
      {{5, 0}, -1},                                              // on the header
      {{5, ListView::kHeaderHeight}, 0},                         // first pixel of the first row
      {{5, ListView::kHeaderHeight + ListView::kRowHeight}, 1},  // the second row
      {{459, ListView::kHeaderHeight + 3}, 0},                   // the last pixel of the columns
      {{460, ListView::kHeaderHeight + 3}, -1},                  // right of the columns
      {{-1, ListView::kHeaderHeight + 3}, -1},
  };
  for (const Case& c : cases) {
    ListItem* item = f.list.ItemAt(c.at);
    EXPECT_EQ(item == nullptr ? -1 : item->Index(), c.expected) << "at " << c.at.x << "," << c.at.y;
  }

  f.list.Scroll(0, 16);
  EXPECT_EQ(f.list.TopIndex(), 1) << "16 pixels scroll by one row";
  EXPECT_EQ(f.list.ItemAt({5, ListView::kHeaderHeight})->Caption(), "row1");
  f.list.Scroll(0, 5 * ListView::kRowHeight);
  EXPECT_EQ(f.list.TopIndex(), 6);
  f.list.Scroll(0, -16);
  EXPECT_EQ(f.list.TopIndex(), 5);
  f.list.Scroll(0, 1000);
  EXPECT_EQ(f.list.TopIndex(), 20) << "the last ten rows fill the list";
  f.list.Scroll(0, -1000);
  EXPECT_EQ(f.list.TopIndex(), 0);
  f.list.MakeVisible(25);
  EXPECT_EQ(f.list.TopIndex(), 16);
  EXPECT_EQ(f.list.TopItem()->Caption(), "row16");
}

TEST(ListView, UpdatesBetweenBeginAndEndAreReportedOnce) {
  Fixture f;
  std::vector<ListChange::Kind> kinds;
  auto subscription =
      f.list.RowsChanged.Connect([&](const ListChange& change) { kinds.push_back(change.kind); });
  f.rows.BeginUpdate();
  for (int i = 0; i < 5; ++i)
    f.Add("r", i);
  f.list.Item(2).SetSubItem(0, "Preparing...");
  EXPECT_TRUE(kinds.empty());
  f.rows.EndUpdate();
  EXPECT_EQ(kinds, std::vector<ListChange::Kind>{ListChange::Kind::Reset});

  kinds.clear();
  f.list.Item(1).SetSubItem(0, "12% completed");
  f.rows.Delete(0);
  EXPECT_EQ(kinds,
            (std::vector<ListChange::Kind>{ListChange::Kind::Row, ListChange::Kind::Removed}));
}

}  // namespace
}  // namespace tolvane::ui
