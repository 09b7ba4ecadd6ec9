#include "queue_rows.h"

namespace tolvane::queue {

QueueRows::QueueRows(Queue& queue) : queue_(queue) {
  for (int i = 0; i < queue_.Count(); ++i)
    Add(queue_.At(i));
  changes_ = queue_.Changed.Connect([this](const EntryChange& change) { Follow(change); });
}

std::vector<TFileData*> QueueRows::SelectedEntries() const {
  std::vector<TFileData*> selected;
  for (const ui::ListItem* row = rows_.Selected(); row != nullptr; row = rows_.NextSelected(row))
    selected.push_back(&EntryOf(*row));
  return selected;
}

void QueueRows::SelectOnly(const TFileData& entry) {
  const int index = queue_.IndexOf(entry);
  if (index < 0)
    return;
  rows_.ClearSelection();
  ui::ListItem& row = rows_.Item(index);
  row.SetSelected(true);
  row.SetFocused(true);
}

void QueueRows::Follow(const EntryChange& change) {
  switch (change.kind) {
    case EntryChange::Kind::Added:
      Add(*change.entry);
      break;
    case EntryChange::Kind::Removed:
      rows_.Delete(change.index);
      break;
    case EntryChange::Kind::Moved:
      // The rows move with their selection and focus; the cut marks may have changed too.
      rows_.CustomSort([this](const ui::ListItem& a, const ui::ListItem& b) {
        return queue_.IndexOf(*queue_.Find(a.Key())) - queue_.IndexOf(*queue_.Find(b.Key()));
      });
      for (int i = 0; i < rows_.Count(); ++i)
        Show(queue_.At(i), rows_.Item(i));
      break;
    case EntryChange::Kind::Options:
      break;
    case EntryChange::Kind::State:
    case EntryChange::Kind::Progress:
    case EntryChange::Kind::Tag:
    case EntryChange::Kind::Cut:
      Show(*change.entry, rows_.Item(change.index));
      break;
  }
}

void QueueRows::Add(const TFileData& entry) {
  ui::ListItem& row = rows_.Add();
  row.SetKey(entry.Id);
  row.SetCaption(entry.DisplayName);
  Show(entry, row);
}

void QueueRows::Show(const TFileData& entry, ui::ListItem& row) const {
  row.SetSubItem(0, StatusText(entry.State));
  row.SetImageIndex(StatusImage(entry.State));
  row.SetHint(StatusHint(entry.State));
  row.SetStateIndex(entry.HasTag ? kTagImage : -1);
  row.SetCut(entry.Cut);
}

}  // namespace tolvane::queue
