#include "list_view.h"

#include <algorithm>
#include <cstdlib>

namespace tolvane::ui {

namespace {
const std::string kEmpty;
}  // namespace

void ListItem::SetCaption(std::string caption) {
  if (caption == caption_)
    return;
  caption_ = std::move(caption);
  Changed(ItemChange::Text);
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
  Changed(ItemChange::Text);
}

void ListItem::SetData(std::unique_ptr<ItemData> data) {
  data_ = std::move(data);
  if (owner_.sorts_by_data_ && !owner_.InOrder(index_))
    owner_.Sort();
}

void ListItem::SetImageIndex(int index) {
  if (index == image_index_)
    return;
  image_index_ = index;
  Changed(ItemChange::Image);
}

void ListItem::SetStateIndex(int index) {
  if (index == state_index_)
    return;
  state_index_ = index;
  Changed(ItemChange::Image);
}

void ListItem::SetSelected(bool selected) {
  if (selected == selected_)
    return;
  selected_ = selected;
  owner_.selected_count_ += selected ? 1 : -1;
  Changed(ItemChange::State);
}

void ListItem::SetCut(bool cut) {
  if (cut == cut_)
    return;
  cut_ = cut;
  Changed(ItemChange::State);
}

void ListItem::SetFocused(bool focused) {
  if (focused == focused_)
    return;
  if (focused) {
    if (ListItem* previous = owner_.ItemFocused())
      previous->SetFocused(false);
  }
  focused_ = focused;
  Changed(ItemChange::State);
}

void ListItem::Changed(ItemChange change) {
  owner_.ItemChanged(*this, change);
}

ListView::ListView(std::string name, Control* parent) : Control(std::move(name), parent) {}

ListView::~ListView() {
  // Rows go as the list goes, each freeing its data. The owner's handlers are not called: the
  // owner is being destroyed too.
  OnChange = nullptr;
  OnDeletion = nullptr;
  Clear();
}

void ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  NotifyChanged();
}

ListItem& ListView::Add() {
  items_.push_back(std::make_unique<ListItem>(*this));
  ListItem& item = *items_.back();
  item.index_ = Count() - 1;
  Notify({ListChange::Kind::Inserted, item.index_});
  return item;
}

void ListView::Delete(int index) {
  if (index < 0 || index >= Count())
    return;
  ListItem& item = *items_[index];
  if (OnDeletion)
    OnDeletion(item);
  if (item.selected_)
    --selected_count_;
  items_.erase(items_.begin() + index);
  Renumber(index);
  Notify({ListChange::Kind::Removed, index});
  SetTopIndex(top_index_);
}

void ListView::Clear() {
  BeginUpdate();
  while (!items_.empty())
    Delete(Count() - 1);
  EndUpdate();
}

ListItem* ListView::Selected() const {
  return NextSelected(nullptr);
}

ListItem* ListView::NextSelected(const ListItem* after) const {
  if (selected_count_ == 0)
    return nullptr;
  for (int i = after == nullptr ? 0 : after->index_ + 1; i < Count(); ++i) {
    if (items_[i]->selected_)
      return items_[i].get();
  }
  return nullptr;
}

ListItem* ListView::ItemFocused() const {
  const auto found =
      std::find_if(items_.begin(), items_.end(), [](const auto& item) { return item->focused_; });
  return found == items_.end() ? nullptr : found->get();
}

void ListView::ClearSelection() {
  for (ListItem* item = Selected(); item != nullptr; item = NextSelected(item)) {
    item->SetSelected(false);
  }
}

void ListView::CustomSort(const std::function<int(const ListItem&, const ListItem&)>& compare) {
  if (!compare)
    return;
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
  Renumber(0);
  Notify({ListChange::Kind::Reset, -1});
}

void ListView::Sort() {
  CustomSort(OnCompare);
}

bool ListView::InOrder(int index) const {
  if (!OnCompare)
    return true;
  if (index > 0 && OnCompare(*items_[index - 1], *items_[index]) > 0)
    return false;
  if (index + 1 < Count() && OnCompare(*items_[index], *items_[index + 1]) > 0)
    return false;
  return true;
}

ListItem* ListView::TopItem() const {
  return top_index_ < Count() ? items_[top_index_].get() : nullptr;
}

int ListView::VisibleRowCount() const {
  return std::max(0, (Height() - 2 * kBorder - kHeaderHeight) / kRowHeight);
}

void ListView::Scroll(int /*dx*/, int dy) {
  if (dy == 0)
    return;
  const int rows = (std::abs(dy) + kRowHeight - 1) / kRowHeight;
  SetTopIndex(top_index_ + (dy < 0 ? -rows : rows));
}

void ListView::MakeVisible(int index) {
  if (index < top_index_) {
    SetTopIndex(index);
  } else if (index >= top_index_ + VisibleRowCount()) {
    SetTopIndex(index - VisibleRowCount() + 1);
  }
}

void ListView::ReportTopIndex(int index) {
  SetTopIndex(index);
}

void ListView::SetTopIndex(int index) {
  const int last_top = std::max(0, Count() - VisibleRowCount());
  index = std::clamp(index, 0, last_top);
  if (index == top_index_)
    return;
  top_index_ = index;
  Notify({ListChange::Kind::Scrolled, index});
}

ListItem* ListView::ItemAt(Point at) const {
  int columns_width = 0;
  for (const ListColumn& column : columns_)
    columns_width += column.width;
  if (at.x < 0 || at.x >= columns_width || at.y < kHeaderHeight)
    return nullptr;
  const int index = top_index_ + (at.y - kHeaderHeight) / kRowHeight;
  return index < Count() ? items_[index].get() : nullptr;
}

void ListView::ContextPopup(Point at, Point screen) {
  if (context_menu_ == nullptr)
    return;
  if (OnContextPopup)
    OnContextPopup(at);
  context_menu_->Popup(screen);
}

void ListView::BeginUpdate() {
  ++update_depth_;
}

void ListView::EndUpdate() {
  if (update_depth_ == 0)
    return;
  if (--update_depth_ == 0 && pending_reset_) {
    pending_reset_ = false;
    RowsChanged.Emit({ListChange::Kind::Reset, -1});
  }
}

void ListView::ItemChanged(ListItem& item, ItemChange change) {
  Notify({ListChange::Kind::Row, item.index_});
  if (OnChange)
    OnChange(item, change);
}

void ListView::Renumber(int from) {
  for (int i = from; i < Count(); ++i)
    items_[i]->index_ = i;
}

void ListView::Notify(ListChange change) {
  if (update_depth_ > 0) {
    pending_reset_ = true;
    return;
  }
  RowsChanged.Emit(change);
}

}  // namespace tolvane::ui
