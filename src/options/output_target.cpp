#include "output_target.h"

#include "recent_folders.h"

namespace tolvane::options {

namespace {
constexpr std::string_view kDrivePrefix = "on disk ";

std::string VolumeOfItem(const ui::MenuItem& item) {
  return item.Caption().substr(std::min(item.Caption().size(), kDrivePrefix.size()));
}
}  // namespace

OutputTarget::OutputTarget(const Controls& controls, TFolderForm& picker, ui::Dialogs& dialogs,
                           platform::FileSystem& files, const platform::Paths& paths,
                           std::string home, Followers followers)
    : c_(controls),
      picker_(picker),
      dialogs_(dialogs),
      files_(files),
      paths_(paths),
      home_(home.empty() ? paths.Root("/") : std::move(home)),
      followers_(std::move(followers)) {
  c_.out_folder_button.OnClick = [this] { OutFolderButtonClick(); };
  c_.clear_folder.OnClick = [this] { ClearFolderClick(); };
}

void OutputTarget::OutFolderButtonClick() {
  const ui::Rect button = c_.out_folder_button.ScreenBounds();
  ui::Form& form = picker_.FolderForm;
  form.SetBounds({button.left, button.Bottom(), form.Width(), form.Height()});

  std::string start = c_.output_folder.Text();
  if (start.empty() || !files_.CanEnterFolder(start))
    start = home_;
  picker_.SetDirectory(start);

  if (dialogs_.ShowModal(form) == ui::ModalResult::Ok) {
    // A root ends in its separator already.
    const std::string folder = paths_.WithTrailingSeparator(picker_.Directory());
    c_.output_folder.SetText(folder);
    RememberFolder(c_.recent_menu, folder);
  }
  c_.out_folder_button.SetDown(false);
  followers_.update_totals();
}

void OutputTarget::ClearFolderClick() {
  c_.output_folder.SetText("");
  followers_.update_totals();
}

void OutputTarget::BuildDrivesMenu(int drive_index) {
  c_.drives_menu.RemoveAll();
  const std::vector<std::string>& volumes = picker_.Drive.Items();
  bool checked = false;
  for (size_t i = 0; i < volumes.size(); ++i) {
    ui::MenuItem& item = c_.drives_menu.Add({}, std::string(kDrivePrefix) + volumes[i]);
    item.SetRadioItem(true);
    item.OnClick = [this](ui::MenuItem& clicked) { DriveClick(clicked); };
    // A stored position beyond the list falls back to the last volume.
    const bool last = i + 1 == volumes.size();
    if (static_cast<int>(i) == drive_index || (last && !checked)) {
      item.SetChecked(true);
      checked = true;
      ShowWatchedVolume(volumes[i]);
    }
  }
}

void OutputTarget::DriveClick(ui::MenuItem& item) {
  item.SetChecked(true);
  ShowWatchedVolume(WatchedVolume());
  followers_.update_totals();
}

std::string OutputTarget::WatchedVolume() const {
  const std::optional<int> checked = CheckedDrive();
  return checked ? VolumeOfItem(c_.drives_menu.Item(*checked)) : "/";
}

std::optional<int> OutputTarget::CheckedDrive() const {
  for (int i = 0; i < c_.drives_menu.Count(); ++i) {
    if (c_.drives_menu.Item(i).Checked())
      return i;
  }
  return std::nullopt;
}

void OutputTarget::ShowWatchedVolume(const std::string& volume) {
  const std::string prefix = std::string(kDriveLabel) + " on ";
  // A long mount point is shortened in its middle, never the words before it.
  c_.drive_button.SetElidedFrom(prefix.size());
  c_.drive_button.SetCaption(prefix + volume);
  c_.total_bar.Panel(kFreeSpacePanel).SetText(followers_.free_space_text(volume));
}

}  // namespace tolvane::options
