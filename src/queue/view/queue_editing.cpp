#include "queue_editing.h"

#include <algorithm>
#include <vector>

#include "platform/ui/input.h"

namespace tolvane::queue {

namespace {

constexpr int kNameColumn = 0;
constexpr ui::Point kSortMenuAt{1, 20};
constexpr int kScrollPixels = 16;

int Compare(const auto& a, const auto& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

// The sort key the tag selects, compared by character code (upper case first) or as a number;
// a negative tag reverses the order.
int SortCompare(const TFileData& a, const TFileData& b, int tag) {
  int order = 0;
  switch (tag < 0 ? -tag : tag) {
    case 1:
      order = Compare(a.DisplayName, b.DisplayName);
      break;
    case 2:
      order = Compare(a.FileName, b.FileName);
      break;
    case 3:
      order = Compare(a.RequiredSize, b.RequiredSize);
      break;
    default:
      return 0;
  }
  return order * tag;
}

}  // namespace

QueueEditing::QueueEditing(const Controls& controls, Followers followers)
    : c_(controls), followers_(std::move(followers)) {
  ui::ListView& rows = c_.rows;
  rows.OnColumnClick = [this](int column) { QueueColumnClick(column); };
  rows.OnContextPopup = [this](ui::Point at) { PastePoint = at; };
  rows.OnMouseDown = [this](ui::MouseButton button, ui::ShiftState, ui::Point at) {
    QueueMouseDown(button, at);
  };
  rows.OnMouseMove = [this](ui::ShiftState shift, ui::Point at) { QueueMouseMove(shift, at); };
  rows.OnMouseUp = [this](ui::MouseButton, ui::ShiftState, ui::Point) { QueueMouseUp(); };
  rows.OnKeyPress = [this](char key) { QueueKeyPress(key); };
  rows.OnKeyDown = [this](int key, ui::ShiftState shift) { QueueKeyDown(key, shift); };
  rows.OnDblClick = [this] { followers_.open_tag_dialog(); };

  c_.files_menu.OnPopup = [this](ui::PopupMenu&) { FilesMenuPopup(); };
  const std::pair<const char*, std::function<void()>> items[] = {
      {"ID3TagItem", [this] { followers_.open_tag_dialog(); }},
      {"CutGroup", [this] { CutGroupClick(); }},
      {"PasteGroup", [this] { PasteGroupClick(); }},
      {"RemoveFile", [this] { RemoveFileClick(); }},
      {"RemoveCompleted", [this] { RemoveCompletedClick(); }}};
  for (const auto& entry : items) {
    if (ui::MenuItem* item = c_.files_menu.FindByName(entry.first))
      item->OnClick = [action = entry.second](ui::MenuItem&) { action(); };
  }
  for (int i = 0; i < c_.sort_menu.Count(); ++i) {
    c_.sort_menu.Item(i).OnClick = [this](ui::MenuItem& item) { SortClick(item.Tag()); };
  }
  c_.scroll_timer.OnTimer = [this] { ScrollTimerTimer(); };
}

void QueueEditing::QueueColumnClick(int column) {
  if (column != kNameColumn)
    return;
  const ui::Rect list = c_.rows.ScreenBounds();
  c_.sort_menu.Popup({list.left + ui::ListView::kBorder + kSortMenuAt.x,
                      list.top + ui::ListView::kBorder + kSortMenuAt.y});
}

void QueueEditing::SortClick(int tag) {
  c_.queue.Sort([tag](const TFileData& a, const TFileData& b) { return SortCompare(a, b, tag); });
}

void QueueEditing::CutGroupClick() {
  for (TFileData* entry : c_.selection.SelectedEntries())
    (void)c_.queue.SetCut(*entry, !entry->Cut);  // the menu item is off while one is at work
}

void QueueEditing::PasteGroupClick() {
  if (const ui::ListItem* target = c_.rows.ItemAt(PastePoint))
    c_.queue.Paste(target->Index());
  PastePoint = {0, 0};
}

bool QueueEditing::SelectionIsIdle() const {
  if (c_.rows.Count() == 0 || c_.rows.SelCount() == 0)
    return false;
  const std::vector<TFileData*> selected = c_.selection.SelectedEntries();
  return std::all_of(selected.begin(), selected.end(),
                     [](const TFileData* entry) { return entry->State.Idle(); });
}

void QueueEditing::Remove(const TFileData& entry) {
  const auto work_ms = static_cast<uint32_t>(entry.EncodeTime) * 1000u;
  if (c_.queue.Remove(entry))
    followers_.forget_work(work_ms);
}

void QueueEditing::RemoveFileClick() {
  // Nothing goes while one of them is at work: its encoder is still writing.
  if (!SelectionIsIdle())
    return;
  for (const TFileData* entry : c_.selection.SelectedEntries())
    Remove(*entry);
  followers_.update_totals();
}

void QueueEditing::RemoveCompletedClick() {
  std::vector<const TFileData*> finished;
  for (int i = 0; i < c_.queue.Count(); ++i) {
    if (c_.queue.At(i).State.Finished())
      finished.push_back(&c_.queue.At(i));
  }
  for (const TFileData* entry : finished)
    Remove(*entry);
  followers_.update_totals();
}

void QueueEditing::FilesMenuPopup() {
  ui::PopupMenu& menu = c_.files_menu;
  const bool any_selected = c_.rows.Count() > 0 && c_.rows.SelCount() > 0;
  const bool idle = SelectionIsIdle();
  bool any_finished = false;
  bool any_cut = false;
  for (int i = 0; i < c_.queue.Count(); ++i) {
    any_finished = any_finished || c_.queue.At(i).State.Finished();
    any_cut = any_cut || c_.queue.At(i).Cut;
  }
  menu.FindByName("ID3TagItem")->SetEnabled(any_selected);
  menu.FindByName("RemoveFile")->SetEnabled(idle);
  menu.FindByName("CutGroup")->SetEnabled(idle);
  menu.FindByName("RemoveCompleted")->SetEnabled(any_finished);
  menu.FindByName("PasteGroup")->SetEnabled(any_cut);
}

void QueueEditing::QueueMouseDown(ui::MouseButton button, ui::Point at) {
  DragAnchor = -1;
  if (button == ui::MouseButton::Right || c_.rows.SelCount() == 0)
    return;
  FirstSelected = c_.rows.Selected()->Index();
  for (const ui::ListItem* row = c_.rows.Selected(); row != nullptr;
       row = c_.rows.NextSelected(row)) {
    LastSelected = row->Index();
  }
  if (button == ui::MouseButton::Left) {
    if (const ui::ListItem* grabbed = c_.rows.ItemAt(at))
      DragAnchor = grabbed->Index();
  }
}

void QueueEditing::QueueMouseMove(ui::ShiftState shift, ui::Point at) {
  if (!shift.left_button)
    return;
  const ui::ListItem* under = c_.rows.ItemAt(at);
  if (c_.rows.SelCount() > 0) {
    const int top = c_.rows.TopIndex();
    const int lowest = top + c_.rows.VisibleRowCount() - 1;
    // Below the last row, the row under the pointer counts as the lowest visible one when that
    // one does not exist either.
    const bool at_lowest = under != nullptr ? under->Index() == lowest : lowest >= c_.rows.Count();
    if (under != nullptr && under->Index() == top) {
      c_.scroll_timer.SetTag(-1);
      c_.scroll_timer.SetEnabled(true);
    } else if (at_lowest) {
      c_.scroll_timer.SetTag(1);
      c_.scroll_timer.SetEnabled(true);
    } else {
      c_.scroll_timer.SetEnabled(false);
    }
  }
  if (under != nullptr && DragAnchor >= 0)
    MoveSelection(under->Index() - DragAnchor);
}

void QueueEditing::QueueMouseUp() {
  c_.scroll_timer.SetEnabled(false);
}

void QueueEditing::ScrollTimerTimer() {
  const int direction = c_.scroll_timer.Tag();
  if (DragAnchor > 0 && DragAnchor < c_.rows.Count() - 1) {
    c_.rows.Scroll(0, kScrollPixels * direction);
  } else {
    c_.scroll_timer.SetEnabled(false);
  }
  if (direction != 0)
    MoveSelection(direction);
}

void QueueEditing::MoveSelection(int32_t step) {
  ui::ListView& rows = c_.rows;
  // A step longer than the way to the edge (a fast jump of the pointer) goes to the edge.
  if (step < 0)
    step = std::max(step, -FirstSelected);
  if (step > 0)
    step = std::min(step, rows.Count() - 1 - LastSelected);
  if (step == 0)
    return;
  // Each selected row trades places with the one `step` rows away, from the end it moves to.
  std::vector<const TFileData*> order;
  std::vector<char> selected;
  for (int i = 0; i < rows.Count(); ++i) {
    order.push_back(&c_.queue.At(i));
    selected.push_back(rows.Item(i).Selected());
  }
  auto swap_with = [&](int i) {
    if (!selected[static_cast<size_t>(i)] || i + step < 0 || i + step >= rows.Count())
      return;
    std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(i + step)]);
    std::swap(selected[static_cast<size_t>(i)], selected[static_cast<size_t>(i + step)]);
  };
  if (step < 0) {
    for (int i = 0; i < rows.Count(); ++i)
      swap_with(i);
  } else {
    for (int i = rows.Count() - 1; i >= 0; --i)
      swap_with(i);
  }
  c_.queue.Rearrange(order);
  DragAnchor += step;
  FirstSelected += step;
  LastSelected += step;
}

void QueueEditing::QueueKeyPress(char key) {
  if (key == ui::keys::kReturn) {
    followers_.open_tag_dialog();
  } else if (key == ui::keys::kEscape) {
    c_.queue.ClearCut();
  }
}

void QueueEditing::QueueKeyDown(int key, ui::ShiftState shift) {
  if (key == ui::keys::kDigit3 && shift.alt) {
    followers_.open_tag_dialog();
  } else if (key == ui::keys::kDelete) {
    RemoveFileClick();
  }
}

}  // namespace tolvane::queue
