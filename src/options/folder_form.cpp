#include "folder_form.h"

#include "platform/ui/input.h"

namespace tolvane::options {

TFolderForm::TFolderForm(std::vector<std::string> volumes, platform::FileSystem& files,
                         const platform::Paths& paths)
    : files_(files), paths_(paths) {
  FolderForm.SetClientSize(kClientWidth, kClientHeight);
  DriveLabel.SetBounds({8, 0, 40, 16});
  Drive.SetBounds({8, 16, 186, 22});
  FolderLabel.SetBounds({8, 40, 40, 16});
  Folder.SetBounds({8, 58, 186, 135});
  OK.SetBounds({8, 200, 91, 30});
  Cancel.SetBounds({104, 200, 91, 30});
  Drive.SetItems(std::move(volumes));
  FolderForm.SetActiveControl(&Folder);

  FolderForm.OnKeyPress = [this](char& key) { FormKeyPress(key); };
  FolderForm.OnKeyDown = [this](int& key, ui::ShiftState) { FormKeyDown(key); };
  Drive.OnChange = [this] { DriveChange(); };
  Folder.OnClick = [this] { FolderClick(); };
  OK.OnClick = [this] { OKClick(); };
  Cancel.OnClick = [this] { CancelClick(); };
}

void TFolderForm::OKClick() {
  FolderForm.SetModalResult(ui::ModalResult::Ok);
}

void TFolderForm::CancelClick() {
  FolderForm.SetModalResult(ui::ModalResult::Cancel);
}

void TFolderForm::FormKeyPress(char& key) {
  if (key == ui::keys::kEscape) {
    key = 0;
    FolderForm.SetModalResult(ui::ModalResult::Cancel);
  }
}

const std::string& TFolderForm::Directory() const {
  const int line = Folder.ItemIndex();
  return line >= 0 && line < static_cast<int>(line_folders_.size()) ? line_folders_[line]
                                                                    : directory_;
}

void TFolderForm::FormKeyDown(int& key) {
  if (key == ui::keys::kReturn || key == ui::keys::kRight) {
    key = 0;
    FolderClick();
  } else if (key == ui::keys::kLeft || key == ui::keys::kBack) {
    key = 0;
    // The line above the open folder on the path is its parent; a root has none.
    const int open = LineOf(directory_);
    if (open > 0)
      SetDirectory(line_folders_[open - 1]);
  }
}

void TFolderForm::FolderClick() {
  const int line = Folder.ItemIndex();
  if (line >= 0 && line < static_cast<int>(line_folders_.size()))
    SetDirectory(line_folders_[line]);
}

void TFolderForm::DriveChange() {
  const int index = Drive.ItemIndex();
  if (index >= 0)
    SetDirectory(Drive.Items()[index]);
}

int TFolderForm::VolumeIndexOf(const std::string& folder) const {
  int best = -1;
  size_t best_length = 0;
  for (size_t i = 0; i < Drive.Items().size(); ++i) {
    const std::string& volume = Drive.Items()[i];
    const bool inside =
        folder == volume || folder.starts_with(paths_.WithTrailingSeparator(volume));
    if (inside && (best < 0 || volume.size() > best_length)) {
      best = static_cast<int>(i);
      best_length = volume.size();
    }
  }
  return best;
}

std::string TFolderForm::Below(const std::string& folder, const std::string& name) const {
  return paths_.WithTrailingSeparator(folder) + name;
}

int TFolderForm::LineOf(const std::string& folder) const {
  for (size_t i = 0; i < line_folders_.size(); ++i) {
    if (line_folders_[i] == folder)
      return static_cast<int>(i);
  }
  return -1;
}

void TFolderForm::SetDirectory(const std::string& folder) {
  std::string directory = folder;
  while (directory.size() > 1 && paths_.IsSeparator(directory.back()))
    directory.pop_back();
  directory_ = directory;

  const int volume_index = VolumeIndexOf(directory);
  const std::string root = volume_index >= 0 ? Drive.Items()[volume_index] : paths_.Root(directory);
  Drive.SetItemIndex(volume_index);

  // The path from the volume's root down to the open folder, each level one step further in.
  std::vector<ui::ListBoxItem> lines{{root, 0, true}};
  line_folders_ = {root};
  std::string reached = root;
  size_t start = root.size();
  while (start < directory.size()) {
    while (start < directory.size() && paths_.IsSeparator(directory[start]))
      ++start;
    size_t end = start;
    while (end < directory.size() && !paths_.IsSeparator(directory[end]))
      ++end;
    if (end == start)
      break;
    const std::string name = directory.substr(start, end - start);
    reached = Below(reached, name);
    lines.push_back({name, static_cast<int>(lines.size()), true});
    line_folders_.push_back(reached);
    start = end;
  }
  const int open_line = static_cast<int>(lines.size()) - 1;
  // Then the folders in it; hidden ones stay hidden, as a file manager shows them.
  const int inner = static_cast<int>(lines.size());
  for (const std::string& name : files_.ListFolders(directory)) {
    if (name.starts_with("."))
      continue;
    lines.push_back({name, inner, false});
    line_folders_.push_back(Below(directory, name));
  }
  Folder.SetItems(std::move(lines), open_line);
}

}  // namespace tolvane::options
