#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/signal.h"

namespace tolvane::ui {

class RowList;

// One row of a list model: a caption, the texts of the further columns, a key that tells its
// filler what the row stands for, a small image, a state image and the row states (selected,
// cut, focused). A view shows it; the row itself knows nothing of views.
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

  // What the row stands for, as whoever fills the list numbers it; 0 until set.
  uint64_t Key() const { return key_; }
  void SetKey(uint64_t key) { key_ = key; }

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
  void Changed();

  RowList& owner_;
  int index_ = -1;
  std::string caption_;
  std::vector<std::string> sub_items_;
  std::string hint_;
  uint64_t key_ = 0;
  int image_index_ = -1;
  int state_index_ = -1;
  bool selected_ = false;
  bool cut_ = false;
  bool focused_ = false;
};

// What views must redraw: everything, one row, a row that came or went, or the selection (of
// one row, or of any rows when `index` is -1).
struct RowsChange {
  enum class Kind { Reset, Row, Inserted, Removed, Selection };
  Kind kind = Kind::Reset;
  int index = -1;
};

// The rows of a list, in their order, with what each shows and its selection: the model that
// list views show. Every change is published through RowsChanged; a view turns the user's input
// into calls here and redraws from the notice.
class RowList final {
 public:
  RowList() = default;
  ~RowList() = default;
  RowList(const RowList&) = delete;
  RowList& operator=(const RowList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  ListItem& Item(int index) const { return *items_.at(index); }
  ListItem& Add();
  void Delete(int index);
  void Clear();

  int SelCount() const { return selected_count_; }
  // The first selected row, or null.
  ListItem* Selected() const;
  // The next selected row after `after` (null: from the top), or null.
  ListItem* NextSelected(const ListItem* after) const;
  ListItem* ItemFocused() const;
  // The selected rows become exactly `rows` (indices, in any order), told in one notice.
  void SetSelection(const std::vector<int>& rows);
  void ClearSelection() { SetSelection({}); }

  // Sorts with `compare` (negative, zero, positive), keeping equal rows in their order. Rows keep
  // their keys and states.
  void CustomSort(const std::function<int(const ListItem&, const ListItem&)>& compare);

  // Between BeginUpdate and EndUpdate views are told once, at the end.
  void BeginUpdate();
  void EndUpdate();

  platform::Signal<RowsChange> RowsChanged;

 private:
  friend class ListItem;
  void Renumber(int from);
  void Notify(RowsChange change);

  std::vector<std::unique_ptr<ListItem>> items_;
  int selected_count_ = 0;
  int update_depth_ = 0;
  bool pending_reset_ = false;
};

}  // namespace tolvane::ui
