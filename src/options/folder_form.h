#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/ui/form.h"
#include "platform/ui/item_lists.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"

namespace tolvane::options {

// The folder picker: the volumes in a drop-down box, and the folders of the current volume as a
// tree (the path down to the open folder, then the folders in it) that opens a folder on a
// single click. It can only offer folders that exist.
class TFolderForm final {
 public:
  static constexpr int kClientWidth = 203;
  static constexpr int kClientHeight = 233;

  // The volumes are taken now; volumes mounted later are not offered.
  TFolderForm(std::vector<std::string> volumes, platform::FileSystem& files,
              const platform::Paths& paths);
  TFolderForm(const TFolderForm&) = delete;
  TFolderForm& operator=(const TFolderForm&) = delete;

  // The folder the list shows as current (the open one, or the line the keyboard moved to),
  // without a trailing separator unless it is a root.
  const std::string& Directory() const;
  // Opens `folder` in the list and its volume in the drive box.
  void SetDirectory(const std::string& folder);

  void OKClick();
  void CancelClick();
  // Esc cancels.
  void FormKeyPress(char& key);
  // From the keyboard: Enter or Right opens the current line's folder, Left or Backspace the
  // folder above the open one.
  void FormKeyDown(int& key);
  void FolderClick();
  void DriveChange();

  ui::Form FolderForm{"FolderForm", "Select folder"};
  ui::Label DriveLabel{"DriveLabel", &FolderForm, "Drive"};
  ui::ComboBox Drive{"Drive", &FolderForm};
  ui::Label FolderLabel{"FolderLabel", &FolderForm, "Folder"};
  ui::ListBox Folder{"Folder", &FolderForm};
  ui::SpeedButton OK{"OK", &FolderForm, "OK"};
  ui::SpeedButton Cancel{"Cancel", &FolderForm, "Cancel"};

  // The line of the list that stands for `folder`, or -1.
  int LineOf(const std::string& folder) const;

 private:
  // The listed volume that holds `folder`: the longest one it lies in.
  int VolumeIndexOf(const std::string& folder) const;
  std::string Below(const std::string& folder, const std::string& name) const;

  platform::FileSystem& files_;
  const platform::Paths& paths_;
  std::string directory_;
  // The folder each line of the list stands for.
  std::vector<std::string> line_folders_;
};

}  // namespace tolvane::options
