#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control.h"

namespace tolvane::ui {

// A drop-down list to choose one of its items from; the text cannot be edited.
class ComboBox final : public Control {
 public:
  using Control::Control;

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    item_index_ = -1;
    NotifyChanged();
  }
  // -1 when no item is chosen.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()) || index == item_index_)
      return;
    item_index_ = index;
    NotifyChanged();
  }
  // The user chose an item: it becomes the chosen one, then OnChange runs.
  void Choose(int index) {
    if (!Enabled() || index < 0 || index >= static_cast<int>(items_.size()))
      return;
    SetItemIndex(index);
    if (OnChange)
      OnChange();
  }
  std::function<void()> OnChange;

  // How many items the open list shows at once.
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int count) {
    drop_down_count_ = count;
    NotifyChanged();
  }

 private:
  std::vector<std::string> items_;
  int item_index_ = -1;
  int drop_down_count_ = 8;
};

// One line of a list box: its text, how deep it is indented, and whether it stands for an open
// folder (the view draws an open or closed folder before it).
struct ListBoxItem {
  std::string text;
  int indent = 0;
  bool open = false;
  friend bool operator==(const ListBoxItem&, const ListBoxItem&) = default;
};

// A list of lines, one of them current.
class ListBox final : public Control {
 public:
  using Control::Control;

  const std::vector<ListBoxItem>& Items() const { return items_; }
  void SetItems(std::vector<ListBoxItem> items, int item_index) {
    items_ = std::move(items);
    item_index_ = item_index >= 0 && item_index < static_cast<int>(items_.size()) ? item_index : -1;
    NotifyChanged();
  }
  // -1 when no line is current.
  int ItemIndex() const { return item_index_; }
  // The user clicked a line: it becomes current, then OnClick runs.
  void Click(int index) {
    if (!Enabled() || index < 0 || index >= static_cast<int>(items_.size()))
      return;
    item_index_ = index;
    NotifyChanged();
    if (OnClick)
      OnClick();
  }
  // The user moved the current line with the keyboard: it becomes current, nothing opens.
  void Highlight(int index) {
    if (!Enabled() || index < 0 || index >= static_cast<int>(items_.size()) || index == item_index_)
      return;
    item_index_ = index;
    NotifyChanged();
  }
  std::function<void()> OnClick;

 private:
  std::vector<ListBoxItem> items_;
  int item_index_ = -1;
};

}  // namespace tolvane::ui
