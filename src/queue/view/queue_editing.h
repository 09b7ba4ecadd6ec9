#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/timer.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "queue/queue.h"
#include "queue/selection.h"

namespace tolvane::queue {

// Arranging the queue by hand: sorting from the "Name" header, dragging the selected rows (the
// list scrolls by itself at its top and bottom edge), Cut and Paste of a marked group, and
// removing rows. The queue is encoded from the top, so this is the order of work. The list's
// rows show the model's entries in its order, so row i is entry i; every change is a command of
// the model, which keeps an entry at work from being removed, cut or moved away by Paste.
class QueueEditing final {
 public:
  struct Controls {
    Queue& queue;
    const Selection& selection;
    ui::ListView& rows;         // shows `queue`
    ui::PopupMenu& files_menu;  // the list's context menu
    ui::PopupMenu& sort_menu;
    platform::Timer& scroll_timer;  // its Tag is the scroll direction: -1 up, +1 down
  };
  struct Followers {
    std::function<void()> update_totals;
    // Work that leaves the queue no longer counts in the batch's elapsed time.
    std::function<void(uint32_t ms)> forget_work;
    std::function<void()> open_tag_dialog;
  };

  // Installs the handlers of the list, of both menus (but "Add...") and of the timer.
  QueueEditing(const Controls& controls, Followers followers);

  void QueueColumnClick(int column);
  void SortClick(int tag);
  void CutGroupClick();
  void PasteGroupClick();
  void RemoveFileClick();
  void RemoveCompletedClick();
  void FilesMenuPopup();
  void QueueMouseDown(ui::MouseButton button, ui::Point at);
  void QueueMouseMove(ui::ShiftState shift, ui::Point at);
  void QueueMouseUp();
  void ScrollTimerTimer();
  void QueueKeyPress(char key);
  void QueueKeyDown(int key, ui::ShiftState shift);
  // Moves the selected rows by `step` rows, never past either end of the list.
  void MoveSelection(int32_t step);

  // The drag: the grabbed row, and the first and last selected rows; all follow the block.
  int32_t DragAnchor = -1;
  int32_t FirstSelected = 0;
  int32_t LastSelected = 0;
  // Where the context menu was asked for, in list coordinates; Paste lands below the row there.
  ui::Point PastePoint;

 private:
  // Whether the selection may be removed or cut: something is selected and every selected row
  // is waiting, skipped or finished.
  bool SelectionIsIdle() const;
  // Removes an idle entry; its time at work leaves the batch's elapsed time.
  void Remove(const TFileData& entry);

  Controls c_;
  Followers followers_;
};

}  // namespace tolvane::queue
