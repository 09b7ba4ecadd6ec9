#include "tag_dialog.h"

#include <algorithm>
#include <string>

#include "platform/latin1.h"
#include "tags/genres.h"
#include "tags/id3_tag.h"

namespace tolvane::options {

namespace {

constexpr int kBelowRow = 16;
constexpr int kScrollPixels = 16;

// What an edit box shows of a stored text: a removed tag's fields are zero characters, which
// show as nothing.
std::string Shown(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

TIDForm::TIDForm(ui::ListView& queue, queue::Selection& selection, queue::Queue& model,
                 ui::Dialogs& dialogs, platform::FileSystem& files)
    : queue_(queue), selection_(selection), model_(model), dialogs_(dialogs), files_(files) {
  IDForm.SetClientSize(kClientWidth, kClientHeight);
  const std::pair<ui::SpeedButton*, ui::Edit*> rows[] = {{&LockedTitle, &IDTitle},
                                                         {&LockedArtist, &IDArtist},
                                                         {&LockedAlbum, &IDAlbum},
                                                         {&LockedYear, &IDYear},
                                                         {&LockedComment, &IDComment}};
  int top = 3;
  int group = 1;
  for (const auto& [lock, edit] : rows) {
    lock->SetBounds({4, top, 69, 22});
    edit->SetBounds({80, top, edit == &IDYear ? 49 : 249, 24});
    edit->SetMaxLength(
        static_cast<int>(edit == &IDYear ? queue::kTagYearWidth : queue::kTagTextWidth));
    // The lock's caption labels the field for a screen reader.
    edit->SetAccessibleLabel(lock->Caption());
    top += 29;
  }
  LockedGenre.SetBounds({144, 90, 57, 22});
  IDGenre.SetBounds({208, 89, 121, 24});
  // The empty item on top stands for no genre (255 in the tag).
  std::vector<std::string> genres{""};
  genres.insert(genres.end(), tags::SortedGenres().begin(), tags::SortedGenres().end());
  IDGenre.SetItems(std::move(genres));
  IDGenre.SetDropDownCount(12);
  IDGenre.SetAccessibleLabel(LockedGenre.Caption());
  for (ui::SpeedButton* lock :
       {&LockedTitle, &LockedArtist, &LockedAlbum, &LockedYear, &LockedComment, &LockedGenre}) {
    // Each a toggle of its own; they keep their state for the whole run.
    lock->SetGroupIndex(group++);
    lock->SetAllowAllUp(true);
    lock->SetRole(ui::ButtonRole::Toggle);
    lock->SetAccessibleLabel("Keep");
    lock->OnClick = [this] { LoadTagFields(); };
  }
  IDRemove.SetBounds({3, 152, 81, 31});
  IDAssign.SetBounds({88, 152, 81, 31});
  CancelButton.SetBounds({249, 152, 81, 31});
  IDRemove.OnClick = [this] { IDAssignClick(IDRemove); };
  IDAssign.OnClick = [this] { IDAssignClick(IDAssign); };
  CancelButton.OnClick = [this] { CancelButtonClick(); };
  IDForm.OnKeyDown = [this](int& key, ui::ShiftState shift) { FormKeyDown(key, shift); };
  IDForm.SetActiveControl(&IDTitle);
}

queue::TFileData* TIDForm::SelectedEntry() const {
  const std::vector<queue::TFileData*> selected = selection_.SelectedEntries();
  return selected.empty() ? nullptr : selected.front();
}

void TIDForm::IDButtonClick() {
  if (selection_.SelectedEntries().size() != 1)
    return;
  PlaceUnderSelectedRow();
  LoadTagFields();
  dialogs_.ShowModal(IDForm);
}

void TIDForm::PlaceUnderSelectedRow() {
  const queue::TFileData* entry = SelectedEntry();
  if (entry == nullptr)
    return;
  const ui::Rect list = queue_.ScreenBounds();
  const int x = list.left + ui::ListView::kBorder;
  const int y = list.top + ui::ListView::kBorder + ui::ListView::kHeaderHeight +
                (model_.IndexOf(*entry) - queue_.TopIndex()) * ui::ListView::kRowHeight;
  IDForm.SetBounds({x, y + kBelowRow, IDForm.Width(), IDForm.Height()});
}

void TIDForm::LoadTagFields() {
  const queue::TFileData* entry = SelectedEntry();
  if (entry == nullptr)
    return;
  if (!LockedTitle.Down())
    IDTitle.SetText(entry->TagTitle.empty() ? entry->DisplayName : Shown(entry->TagTitle));
  if (!LockedArtist.Down())
    IDArtist.SetText(Shown(entry->TagArtist));
  if (!LockedAlbum.Down())
    IDAlbum.SetText(Shown(entry->TagAlbum));
  if (!LockedYear.Down())
    IDYear.SetText(Shown(entry->TagYear));
  if (!LockedComment.Down())
    IDComment.SetText(Shown(entry->TagComment));
  // The genre box keeps the user's last choice, locked or not.
}

void TIDForm::StoreFields(queue::TFileData& entry) const {
  using platform::FirstCharacters;
  entry.TagTitle = FirstCharacters(IDTitle.Text(), queue::kTagTextWidth);
  entry.TagArtist = FirstCharacters(IDArtist.Text(), queue::kTagTextWidth);
  entry.TagAlbum = FirstCharacters(IDAlbum.Text(), queue::kTagTextWidth);
  entry.TagYear = FirstCharacters(IDYear.Text(), queue::kTagYearWidth);
  entry.TagComment = FirstCharacters(IDComment.Text(), queue::kTagTextWidth);
  // Nothing chosen, or the empty item: no genre.
  entry.TagGenre = std::max(IDGenre.ItemIndex() - 1, -1);
}

void TIDForm::IDAssignClick(const ui::SpeedButton& sender) {
  if (&sender == &IDRemove) {
    Remove();
  } else {
    Assign();
  }
}

void TIDForm::Assign() {
  queue::TFileData* entry = SelectedEntry();
  if (entry == nullptr)
    return;
  entry->HasTag = true;
  StoreFields(*entry);
  model_.TagChanged(*entry);
  if (entry->Encoded)
    tags::WriteTag(files_, entry);
}

void TIDForm::Remove() {
  queue::TFileData* entry = SelectedEntry();
  if (entry == nullptr)
    return;
  entry->HasTag = false;
  entry->TagTitle.assign(queue::kTagTextWidth, '\0');
  entry->TagArtist.assign(queue::kTagTextWidth, '\0');
  entry->TagAlbum.assign(queue::kTagTextWidth, '\0');
  entry->TagComment.assign(queue::kTagTextWidth, '\0');
  entry->TagYear.assign(queue::kTagYearWidth, '\0');
  entry->TagGenre = -1;
  model_.TagChanged(*entry);
  LoadTagFields();
  if (entry->Encoded)
    tags::StripTag(files_, entry);
}

void TIDForm::CancelButtonClick() {
  IDForm.SetModalResult(ui::ModalResult::Cancel);
}

void TIDForm::FormKeyDown(int& key, ui::ShiftState shift) {
  if (key == ui::keys::kEscape) {
    key = 0;
    IDForm.SetModalResult(ui::ModalResult::Cancel);
  } else if (shift.OnlyCtrl() && (key == ui::keys::kInsert || key == ui::keys::kReturn)) {
    key = 0;
    Assign();
  } else if (shift.OnlyCtrl() && key == ui::keys::kDelete) {
    key = 0;
    Remove();
  } else if (key == ui::keys::kPageUp || key == ui::keys::kPageDown) {
    const int direction = key == ui::keys::kPageUp ? -1 : 1;
    key = 0;
    Step(direction);
  }
}

void TIDForm::Step(int direction) {
  queue::TFileData* current = SelectedEntry();
  if (current == nullptr)
    return;
  queue::TFileData& entry = *current;
  StoreFields(entry);
  model_.TagChanged(entry);
  const int target = model_.IndexOf(entry) + direction;
  if (target >= 0 && target < queue_.Count()) {
    if (direction < 0 && target < queue_.TopIndex())
      queue_.Scroll(0, -kScrollPixels);
    if (direction > 0 && target >= queue_.TopIndex() + queue_.VisibleRowCount() - 3)
      queue_.Scroll(0, kScrollPixels);
    selection_.SelectOnly(model_.At(target));
  }
  PlaceUnderSelectedRow();
  LoadTagFields();
}

}  // namespace tolvane::options
