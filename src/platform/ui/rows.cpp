#include "rows.h"

#include <algorithm>

namespace tolvane::ui {

namespace {
const std::string kEmpty;
}  // namespace

void ListItem::SetCaption(std::string caption) {
  if (caption == caption_)
    return;
  caption_ = std::move(caption);
  Changed();
}

const std::string& ListItem::SubItem(int column) const {
  if (column < 0 || column >= static_cast<int>(sub_items_.size()))
    return kEmpty;
  return sub_items_[column];
}

void ListItem::SetSubItem(int column, std::string text) {
  if (column < 0)
    return;
  if (column >= static_cast<int>(sub_items_.size()))
    sub_items_.resize(column + 1);
  if (sub_items_[column] == text)
    return;
  sub_items_[column] = std::move(text);
  Changed();
}

void ListItem::SetHint(std::string hint) {
  if (hint == hint_)
    return;
  hint_ = std::move(hint);
  Changed();
}

void ListItem::SetImageIndex(int index) {
  if (index == image_index_)
    return;
  image_index_ = index;
  Changed();
}

void ListItem::SetStateIndex(int index) {
  if (index == state_index_)
    return;
  state_index_ = index;
  Changed();
}

void ListItem::SetSelected(bool selected) {
  if (selected == selected_)
    return;
  selected_ = selected;
  owner_.selected_count_ += selected ? 1 : -1;
  owner_.Notify({RowsChange::Kind::Selection, index_});
}

void ListItem::SetCut(bool cut) {
  if (cut == cut_)
    return;
  cut_ = cut;
  Changed();
}

void ListItem::SetFocused(bool focused) {
  if (focused == focused_)
    return;
  if (focused) {
    if (ListItem* previous = owner_.ItemFocused())
      previous->SetFocused(false);
  }
  focused_ = focused;
  Changed();
}

void ListItem::Changed() {
  owner_.Notify({RowsChange::Kind::Row, index_});
}

ListItem& RowList::Add() {
  items_.push_back(std::make_unique<ListItem>(*this));
  ListItem& item = *items_.back();
  item.index_ = Count() - 1;
  Notify({RowsChange::Kind::Inserted, item.index_});
  return item;
}

void RowList::Delete(int index) {
  if (index < 0 || index >= Count())
    return;
  if (items_[index]->selected_)
    --selected_count_;
  items_.erase(items_.begin() + index);
  Renumber(index);
  Notify({RowsChange::Kind::Removed, index});
}

void RowList::Clear() {
  BeginUpdate();
  while (!items_.empty())
    Delete(Count() - 1);
  EndUpdate();
}

ListItem* RowList::Selected() const {
  return NextSelected(nullptr);
}

ListItem* RowList::NextSelected(const ListItem* after) const {
  if (selected_count_ == 0)
    return nullptr;
  for (int i = after == nullptr ? 0 : after->index_ + 1; i < Count(); ++i) {
    if (items_[i]->selected_)
      return items_[i].get();
  }
  return nullptr;
}

ListItem* RowList::ItemFocused() const {
  const auto found =
      std::find_if(items_.begin(), items_.end(), [](const auto& item) { return item->focused_; });
  return found == items_.end() ? nullptr : found->get();
}

void RowList::SetSelection(const std::vector<int>& rows) {
  std::vector<bool> wanted(items_.size(), false);
  for (const int row : rows) {
    if (row >= 0 && row < Count())
      wanted[static_cast<size_t>(row)] = true;
  }
  bool changed = false;
  for (size_t i = 0; i < items_.size(); ++i) {
    ListItem& item = *items_[i];
    if (item.selected_ == wanted[i])
      continue;
    item.selected_ = wanted[i];
    selected_count_ += item.selected_ ? 1 : -1;
    changed = true;
  }
  if (changed)
    Notify({RowsChange::Kind::Selection, -1});
}

void RowList::CustomSort(const std::function<int(const ListItem&, const ListItem&)>& compare) {
  if (!compare)
    return;
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
  Renumber(0);
  Notify({RowsChange::Kind::Reset, -1});
}

void RowList::BeginUpdate() {
  ++update_depth_;
}

void RowList::EndUpdate() {
  if (update_depth_ == 0)
    return;
  if (--update_depth_ == 0 && pending_reset_) {
    pending_reset_ = false;
    RowsChanged.Emit({RowsChange::Kind::Reset, -1});
  }
}

void RowList::Renumber(int from) {
  for (int i = from; i < Count(); ++i)
    items_[i]->index_ = i;
}

void RowList::Notify(RowsChange change) {
  if (update_depth_ > 0) {
    pending_reset_ = true;
    return;
  }
  RowsChanged.Emit(change);
}

}  // namespace tolvane::ui
