#include "main_window.h"

#include "compact_mode.h"
#include "edge_snap.h"

namespace tolvane::app {

TBlade::TBlade(ui::Application& application, ui::Dialogs& dialogs, const ui::WorkArea& work_area)
    : Application(application), dialogs_(dialogs), work_area_(work_area) {
  const ui::Rect area = work_area_.Get();
  Form.SetBounds({area.left + (area.width - kClientWidth) / 2,
                  area.top + (area.height - kClientHeight) / 2, kClientWidth, kClientHeight});

  MinPanel.SetHeight(90);
  MinPanel.SetAlign(ui::Align::Bottom);
  Main.SetAlign(ui::Align::Client);

  LayOutFilesPage();
  LayOutSettingsPage();
  LayOutBottomPanel();
  BuildMenus();

  Form.SetActiveControl(&Queue);
  Form.OnPositionChanging = [this](ui::Rect& proposed) {
    proposed = SnapToWorkArea(proposed, work_area_.Get());
  };
  SpeedBar1.OnDblClick = [this] { SpeedBar1DblClick(); };
}

void TBlade::SpeedBar1DblClick() {
  ToggleCompactMode(Form, Main, work_area_.Get());
}

std::string TBlade::TaskbarTitle() const {
  if (!SavedTitle.empty() && Application.Title() != SavedTitle)
    return Application.Title();
  return Form.Caption();
}

std::vector<ui::PopupMenu*> TBlade::Menus() {
  return {&FilesMenu, &SortMenu, &BitrateMenu, &PrioMenu,   &StereoMenu,
          &BitsMenu,  &EstMenu,  &TreeMenu,    &RecentMenu, &DrivesMenu};
}

std::vector<ui::Timer*> TBlade::Timers() {
  return {&Timer, &SettingsTimer, &ScrollTimer};
}

ui::Label& TBlade::AddLabel(ui::Control& parent, ui::Rect bounds, const std::string& caption) {
  labels_.push_back(std::make_unique<ui::Label>(
      parent.Name() + "Label" + std::to_string(labels_.size()), &parent, caption));
  labels_.back()->SetBounds(bounds);
  return *labels_.back();
}

void TBlade::PlaceToggle(ui::SpeedButton& button, ui::Point at, const std::string& label) {
  button.SetBounds({at.x, at.y, 14, 14});
  button.SetGroupIndex(next_toggle_group_++);
  button.SetAllowAllUp(true);
  AddLabel(*button.Parent(), {at.x + 18, at.y, 140, 14}, label);
}

}  // namespace tolvane::app
