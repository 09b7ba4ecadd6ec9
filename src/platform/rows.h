#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "signal.h"

namespace tolvane::platform {

// What a row carries for the program. The row owns it; it is destroyed with the row, after the
// list's OnDeletion has seen it.
class ItemData {
 public:
  virtual ~ItemData() = default;
};

enum class ItemChange { Text, Image, State };

class RowList;

// One row of a list model: a caption, the texts of the further columns, the program's data, a
// small image, a state image and the row states (selected, cut, focused). A view shows it; the
// row itself knows nothing of views.
class ListItem final {
 public:
  explicit ListItem(RowList& owner) : owner_(owner) {}
  ListItem(const ListItem&) = delete;
  ListItem& operator=(const ListItem&) = delete;

  RowList& Owner() const { return owner_; }
  int Index() const { return index_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const std::vector<std::string>& SubItems() const { return sub_items_; }
  // The text of column `column` + 1; missing columns before it are added empty.
  const std::string& SubItem(int column) const;
  void SetSubItem(int column, std::string text);

  // A longer word on the row than its columns hold (why it stopped), shown when the pointer
  // rests on it; "" for none.
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);

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
  friend class RowList;
  void Changed(ItemChange change);

  RowList& owner_;
  int index_ = -1;
  std::string caption_;
  std::vector<std::string> sub_items_;
  std::string hint_;
  std::unique_ptr<ItemData> data_;
  int image_index_ = -1;
  int state_index_ = -1;
  bool selected_ = false;
  bool cut_ = false;
  bool focused_ = false;
};

// What views must redraw: everything, one row, or a row that came or went.
struct RowsChange {
  enum class Kind { Reset, Row, Inserted, Removed };
  Kind kind = Kind::Reset;
  int index = -1;
};

// The rows of a list, in their order, with what each shows and its selection: the model that
// list views show. Every change is published through RowsChanged; a view turns the user's input
// into calls here and redraws from the notice.
class RowList final {
 public:
  RowList() = default;
  // Rows go as the list goes, each freeing its data; the handlers are not called.
  ~RowList();
  RowList(const RowList&) = delete;
  RowList& operator=(const RowList&) = delete;

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

  // Between BeginUpdate and EndUpdate views are told once, at the end.
  void BeginUpdate();
  void EndUpdate();

  std::function<void(ListItem&, ItemChange)> OnChange;
  std::function<int(const ListItem&, const ListItem&)> OnCompare;
  std::function<void(ListItem&)> OnDeletion;

  Signal<RowsChange> RowsChanged;

 private:
  friend class ListItem;
  void ItemChanged(ListItem& item, ItemChange change);
  void Renumber(int from);
  void Notify(RowsChange change);
  bool InOrder(int index) const;

  std::vector<std::unique_ptr<ListItem>> items_;
  int selected_count_ = 0;
  int update_depth_ = 0;
  bool pending_reset_ = false;
  bool sorts_by_data_ = false;
};

}  // namespace tolvane::platform
