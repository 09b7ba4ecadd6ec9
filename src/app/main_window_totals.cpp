// The queue's totals, the watched volume and its free space.
#include "main_window.h"

namespace tolvane::app {

namespace {
constexpr std::string_view kDrivePrefix = "on disk ";

std::string VolumeOfItem(const ui::MenuItem& item) {
  return item.Caption().substr(std::min(item.Caption().size(), kDrivePrefix.size()));
}
}  // namespace

std::string TBlade::WatchedVolume() const {
  for (int i = 0; i < DrivesMenu.Count(); ++i) {
    if (DrivesMenu.Item(i).Checked())
      return VolumeOfItem(DrivesMenu.Item(i));
  }
  return "/";
}

void TBlade::UpdateTotals() {
  engine_.UpdateTotals();
}

encoding::FreeSpace TBlade::DriveFreeSpace(const std::string& path) {
  return encoding::DriveFreeSpace(volumes_, path);
}

void TBlade::BuildDrivesMenu() {
  DrivesMenu.RemoveAll();
  const std::vector<std::string> volumes = volumes_.List();
  bool checked = false;
  for (size_t i = 0; i < volumes.size(); ++i) {
    ui::MenuItem& item = DrivesMenu.Add({}, std::string(kDrivePrefix) + volumes[i]);
    item.SetRadioItem(true);
    item.OnClick = [this](ui::MenuItem& clicked) { DriveClick(clicked); };
    // A stored position beyond the list falls back to the last volume.
    const bool last = i + 1 == volumes.size();
    if (static_cast<int>(i) == DriveIndex || (last && !checked)) {
      item.SetChecked(true);
      checked = true;
      ShowWatchedVolume(volumes[i]);
    }
  }
}

void TBlade::ShowWatchedVolume(const std::string& volume) {
  const std::string caption = DriveButton.Caption();
  const size_t on = caption.find(" on");
  const std::string prefix = (on == std::string::npos ? caption : caption.substr(0, on)) + " on ";
  // A long mount point is shortened in its middle, never the words before it.
  DriveButton.SetElidedFrom(prefix.size());
  DriveButton.SetCaption(prefix + volume);
  TotalBar.Panel(1).SetText(DriveFreeSpace(volume).text);
}

void TBlade::DriveClick(ui::MenuItem& item) {
  item.SetChecked(true);
  ShowWatchedVolume(WatchedVolume());
  UpdateTotals();
}

}  // namespace tolvane::app
