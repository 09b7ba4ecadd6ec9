#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control.h"
#include "menu.h"

namespace tolvane::ui {

// What a row carries for the program. The row owns it; it is destroyed with the row, after
// the list's OnDeletion has seen it.
class ItemData {
 public:
  virtual ~ItemData() = default;
};

enum class ItemChange { Text, Image, State };

class ListView;

// One row of a report list: a caption, the texts of the further columns, the program's data,
// a small image, a state image and the row states.
class ListItem final {
 public:
  explicit ListItem(ListView& owner) : owner_(owner) {}
  ListItem(const ListItem&) = delete;
  ListItem& operator=(const ListItem&) = delete;

  ListView& Owner() const { return owner_; }
  int Index() const { return index_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const std::vector<std::string>& SubItems() const { return sub_items_; }
  // The text of column `column` + 1; missing columns before it are added empty.
  const std::string& SubItem(int column) const;
  void SetSubItem(int column, std::string text);

  ItemData* Data() const { return data_.get(); }
  template <typename T>
  T* DataAs() const {
    return dynamic_cast<T*>(data_.get());
  }
  // Attaching data re-sorts a list that sorts by data.
  void SetData(std::unique_ptr<ItemData> data);

  // -1 for none.
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  int StateIndex() const { return state_index_; }
  void SetStateIndex(int index);

  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  // The standard "cut" state: the row is drawn dimmed.
  bool Cut() const { return cut_; }
  void SetCut(bool cut);
  // At most one row of a list has the focus.
  bool Focused() const { return focused_; }
  void SetFocused(bool focused);

 private:
  friend class ListView;
  void Changed(ItemChange change);

  ListView& owner_;
  int index_ = -1;
  std::string caption_;
  std::vector<std::string> sub_items_;
  std::unique_ptr<ItemData> data_;
  int image_index_ = -1;
  int state_index_ = -1;
  bool selected_ = false;
  bool cut_ = false;
  bool focused_ = false;
};

struct ListColumn {
  std::string caption;
  int width = 0;
};

// What views must redraw: everything, one row, or a row that came or went.
struct ListChange {
  enum class Kind { Reset, Row, Inserted, Removed, Scrolled };
  Kind kind = Kind::Reset;
  int index = -1;
};

// A list in report style with several selectable rows, custom sorting and the geometry the
// program's drag and scroll logic needs (rows of fixed height below a header).
class ListView final : public Control {
 public:
  static constexpr int kBorder = 2;
  static constexpr int kHeaderHeight = 19;
  static constexpr int kRowHeight = 17;

  ListView(std::string name, Control* parent);
  ~ListView() override;

  void AddColumn(std::string caption, int width);
  const std::vector<ListColumn>& Columns() const { return columns_; }

  int Count() const { return static_cast<int>(items_.size()); }
  ListItem& Item(int index) const { return *items_.at(index); }
  ListItem& Add();
  // Deletes the row: OnDeletion sees it first, then it and its data are destroyed.
  void Delete(int index);
  void Clear();

  int SelCount() const { return selected_count_; }
  // The first selected row, or null.
  ListItem* Selected() const;
  // The next selected row after `after` (null: from the top), or null.
  ListItem* NextSelected(const ListItem* after) const;
  ListItem* ItemFocused() const;
  void ClearSelection();

  // Sorts with `compare` (negative, zero, positive), keeping equal rows in their order. Rows keep
  // their data and states.
  void CustomSort(const std::function<int(const ListItem&, const ListItem&)>& compare);
  // Sorts with OnCompare.
  void Sort();
  // When set, attaching data to a row re-sorts the list with OnCompare (unless the row already
  // stands in order between its neighbours, as a new last row usually does).
  bool SortsByData() const { return sorts_by_data_; }
  void SetSortsByData(bool sorts) { sorts_by_data_ = sorts; }

  // Scrolling, in whole rows: the index of the topmost visible row, and how many fit.
  int TopIndex() const { return top_index_; }
  ListItem* TopItem() const;
  int VisibleRowCount() const;
  // Scrolls by pixels; a vertical amount moves by whole rows, at least one row for any amount.
  void Scroll(int dx, int dy);
  void MakeVisible(int index);
  // The view reports a scroll the user made.
  void ReportTopIndex(int index);
  // The row at a point of the list's client area (inside its border), or null.
  ListItem* ItemAt(Point at) const;

  // Between BeginUpdate and EndUpdate views are told once, at the end.
  void BeginUpdate();
  void EndUpdate();

  // The menu the right button opens at the pointer; null for none. The list does not own it.
  PopupMenu* ContextMenu() const { return context_menu_; }
  void SetContextMenu(PopupMenu* menu) { context_menu_ = menu; }
  // A context-menu request at `at` (client coordinates) and `screen`: OnContextPopup learns
  // where, then the menu opens at `screen`.
  void ContextPopup(Point at, Point screen);
  std::function<void(Point)> OnContextPopup;

  std::function<void(ListItem&, ItemChange)> OnChange;
  std::function<int(const ListItem&, const ListItem&)> OnCompare;
  std::function<void(ListItem&)> OnDeletion;
  std::function<void(MouseButton, ShiftState, Point)> OnMouseDown;
  std::function<void(ShiftState, Point)> OnMouseMove;
  std::function<void(MouseButton, ShiftState, Point)> OnMouseUp;
  std::function<void(int key, ShiftState)> OnKeyDown;
  std::function<void(char key)> OnKeyPress;
  std::function<void()> OnDblClick;
  std::function<void(int column)> OnColumnClick;

  Signal<ListChange> RowsChanged;

 private:
  friend class ListItem;
  void ItemChanged(ListItem& item, ItemChange change);
  void Renumber(int from);
  void Notify(ListChange change);
  void SetTopIndex(int index);
  bool InOrder(int index) const;

  std::vector<ListColumn> columns_;
  std::vector<std::unique_ptr<ListItem>> items_;
  int selected_count_ = 0;
  int top_index_ = 0;
  int update_depth_ = 0;
  bool pending_reset_ = false;
  bool sorts_by_data_ = false;
  PopupMenu* context_menu_ = nullptr;
};

}  // namespace tolvane::ui
