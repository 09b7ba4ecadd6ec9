#include "list_view.h"

#include <algorithm>
#include <cstdlib>

namespace tolvane::ui {

ListView::ListView(std::string name, Control* parent) : Control(std::move(name), parent) {
  Bind(own_rows_);
}

ListView::~ListView() = default;

void ListView::Bind(ui::RowList& rows) {
  rows_ = &rows;
  model_ = rows.RowsChanged.Connect([this](const ui::RowsChange& change) { FromModel(change); });
  top_index_ = 0;
  RowsChanged.Emit({ListChange::Kind::Reset, -1});
}

static_assert(static_cast<int>(ListChange::Kind::Selection) ==
              static_cast<int>(RowsChange::Kind::Selection));

void ListView::FromModel(const ui::RowsChange& change) {
  RowsChanged.Emit({static_cast<ListChange::Kind>(change.kind), change.index});
  // Rows that went may leave the view scrolled past the end.
  if (change.kind == ui::RowsChange::Kind::Removed || change.kind == ui::RowsChange::Kind::Reset) {
    SetTopIndex(top_index_);
  }
}

void ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  NotifyChanged();
}

ListItem* ListView::TopItem() const {
  return top_index_ < Count() ? &Item(top_index_) : nullptr;
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
  RowsChanged.Emit({ListChange::Kind::Scrolled, index});
}

ListItem* ListView::ItemAt(Point at) const {
  int columns_width = 0;
  for (const ListColumn& column : columns_)
    columns_width += column.width;
  if (at.x < 0 || at.x >= columns_width || at.y < kHeaderHeight)
    return nullptr;
  const int index = top_index_ + (at.y - kHeaderHeight) / kRowHeight;
  return index < Count() ? &Item(index) : nullptr;
}

void ListView::ContextPopup(Point at, Point screen) {
  if (context_menu_ == nullptr)
    return;
  // As list views do on every desktop: the menu is for the row under the pointer, so a row
  // outside the selection becomes the selection first; within it, the selection stays.
  if (ListItem* row = ItemAt(at); row != nullptr && !row->Selected()) {
    rows_->ClearSelection();
    row->SetSelected(true);
    row->SetFocused(true);
  }
  if (OnContextPopup)
    OnContextPopup(at);
  context_menu_->Popup(screen);
}

}  // namespace tolvane::ui
