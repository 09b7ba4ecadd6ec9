#pragma once

#include <vector>

#include "platform/signal.h"
#include "platform/ui/rows.h"
#include "queue/queue.h"
#include "queue/selection.h"

namespace tolvane::queue {

// The queue as a list's rows: one row for each entry, in the queue's order, showing its name,
// status, images, hint and cut mark, made from the entry in one place. The selection and the
// focus are the rows' own, so this is also the window's Selection. Row i always shows entry i.
class QueueRows final : public Selection {
 public:
  explicit QueueRows(Queue& queue);
  QueueRows(const QueueRows&) = delete;
  QueueRows& operator=(const QueueRows&) = delete;

  ui::RowList& Rows() { return rows_; }
  const ui::RowList& Rows() const { return rows_; }
  TFileData& EntryOf(const ui::ListItem& row) const { return queue_.At(row.Index()); }

  std::vector<TFileData*> SelectedEntries() const override;
  void SelectOnly(const TFileData& entry) override;

 private:
  void Follow(const EntryChange& change);
  void Show(const TFileData& entry, ui::ListItem& row) const;
  void Add(const TFileData& entry);

  Queue& queue_;
  ui::RowList rows_;
  platform::Subscription changes_;
};

}  // namespace tolvane::queue
