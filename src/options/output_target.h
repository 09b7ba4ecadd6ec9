#pragma once

#include <functional>
#include <optional>
#include <string>

#include "folder_form.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/menu.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"
#include "platform/ui/status_bar.h"

namespace tolvane::options {

// The drive button's words before the watched volume ("Req. and free on /home").
inline constexpr const char* kDriveLabel = "Req. and free";

// Where the MP3 files go and which volume the totals watch: the target folder with its picker,
// recent folders and "Clear" on the "Settings" page, and the drive menu on the "Files" page.
class OutputTarget final {
 public:
  static constexpr int kFreeSpacePanel = 1;
  struct Controls {
    ui::Edit& output_folder;  // empty: each MP3 beside its source; else ends in a separator
    ui::SpeedButton& out_folder_button;
    ui::SpeedButton& clear_folder;
    ui::PopupMenu& recent_menu;
    ui::SpeedButton& drive_button;
    ui::PopupMenu& drives_menu;
    ui::StatusBar& total_bar;  // its panel kFreeSpacePanel: the watched volume's free space
  };
  struct Followers {
    // The free-space text of a volume.
    std::function<std::string(const std::string& volume)> free_space_text;
    std::function<void()> update_totals;
  };

  // `home` is where the picker opens when the target is empty or cannot be entered.
  OutputTarget(const Controls& controls, TFolderForm& picker, ui::Dialogs& dialogs,
               platform::FileSystem& files, const platform::Paths& paths, std::string home,
               Followers followers);

  void OutFolderButtonClick();
  void ClearFolderClick();

  // One radio item per volume of the picker's drive box, the one at `drive_index` checked (the
  // last one when the index is beyond the list).
  void BuildDrivesMenu(int drive_index);
  void DriveClick(ui::MenuItem& item);
  // The mount point of the checked drive item; "/" when the menu is empty.
  std::string WatchedVolume() const;
  // The position of the checked drive item, as the settings keep it.
  std::optional<int> CheckedDrive() const;

 private:
  void ShowWatchedVolume(const std::string& volume);

  Controls c_;
  TFolderForm& picker_;
  ui::Dialogs& dialogs_;
  platform::FileSystem& files_;
  const platform::Paths& paths_;
  std::string home_;
  Followers followers_;
};

}  // namespace tolvane::options
