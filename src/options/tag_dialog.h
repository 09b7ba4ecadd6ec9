#pragma once

#include "platform/file_system.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"
#include "platform/ui/item_lists.h"
#include "platform/ui/list_view.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"
#include "queue/queue.h"
#include "queue/selection.h"

namespace tolvane::options {

// The ID3 tag dialog: the tag of the entry of the queue's selected row, edited field by field.
// A locked field keeps its text from one file to the next, so PageDown and Ctrl+Enter give the
// next file the same artist without retyping. Assign writes the tag at once into an MP3 that
// is already encoded; otherwise the tag is written when the file's encoding ends.
class TIDForm final {
 public:
  static constexpr int kClientWidth = 332;
  static constexpr int kClientHeight = 186;

  // `queue` shows `model` and keeps `selection`; every change of a tag goes to the model.
  TIDForm(ui::ListView& queue, queue::Selection& selection, queue::Queue& model,
          ui::Dialogs& dialogs, platform::FileSystem& files);
  TIDForm(const TIDForm&) = delete;
  TIDForm& operator=(const TIDForm&) = delete;

  // Opens the dialog below the selected row; only when exactly one row is selected.
  void IDButtonClick();

  // Shows the entry's tag in every field whose lock is up.
  void LoadTagFields();
  // Assign or Remove, told apart by the button.
  void IDAssignClick(const ui::SpeedButton& sender);
  void CancelButtonClick();
  void FormKeyDown(int& key, ui::ShiftState shift);

  ui::Form IDForm{"IDForm", "ID3 Tag"};
  // The fields, in their tab order.
  ui::Edit IDTitle{"IDTitle", &IDForm};
  ui::Edit IDArtist{"IDArtist", &IDForm};
  ui::Edit IDAlbum{"IDAlbum", &IDForm};
  ui::Edit IDYear{"IDYear", &IDForm};
  ui::ComboBox IDGenre{"IDGenre", &IDForm};
  ui::Edit IDComment{"IDComment", &IDForm};
  ui::SpeedButton LockedTitle{"LockedTitle", &IDForm, "Title"};
  ui::SpeedButton LockedArtist{"LockedArtist", &IDForm, "Artist"};
  ui::SpeedButton LockedAlbum{"LockedAlbum", &IDForm, "Album"};
  ui::SpeedButton LockedYear{"LockedYear", &IDForm, "Year"};
  ui::SpeedButton LockedComment{"LockedComment", &IDForm, "Comment"};
  ui::SpeedButton LockedGenre{"LockedGenre", &IDForm, "Genre"};
  ui::SpeedButton IDRemove{"IDRemove", &IDForm, "Remove"};
  ui::SpeedButton IDAssign{"IDAssign", &IDForm, "Assign"};
  ui::SpeedButton CancelButton{"CancelButton", &IDForm, "Close"};

 private:
  queue::TFileData* SelectedEntry() const;
  // The dialog's texts and genre into the entry; the tag mark is left as it is.
  void StoreFields(queue::TFileData& entry) const;
  void Assign();
  void Remove();
  // PageUp (-1) or PageDown (+1): the fields are kept, and the neighbouring row is selected.
  void Step(int direction);
  void PlaceUnderSelectedRow();

  ui::ListView& queue_;
  queue::Selection& selection_;
  queue::Queue& model_;
  ui::Dialogs& dialogs_;
  platform::FileSystem& files_;
};

}  // namespace tolvane::options
