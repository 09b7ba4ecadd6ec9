#include "main_window.h"

#include "queue/names.h"

#include "compact_mode.h"
#include "edge_snap.h"

namespace tolvane::app {

TBlade::TBlade(const Services& services)
    : Application(services.application),
      dialogs_(services.dialogs),
      work_area_(services.work_area),
      files_(services.files),
      paths_(services.paths),
      volumes_(services.volumes),
      user_registry_(services.user_registry),
      environment_(services.environment),
      program_folder_(services.program_folder),
      classes_registry_(services.classes_registry),
      desktop_files_(services.desktop_files),
      executable_path_(services.executable_path),
      job_list_path_(services.job_list_path),
      engine_({queue_, engine_binding_, engine_binding_, engine_binding_, services.files,
               services.paths, services.volumes, services.clock, services.processes, services.power,
               services.application.Loop()}),
      output_target_({OutputFolder, OutFolderButton, ClearFolder, RecentMenu, DriveButton,
                      DrivesMenu, TotalBar},
                     folder_form_, dialogs_, files_, paths_,
                     environment_.Variable("HOME").value_or("/"),
                     {[this](const std::string& volume) { return DriveFreeSpace(volume).text; },
                      [this] { UpdateTotals(); }}) {
  Queue.Bind(queue_rows_.Rows());
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
  option_menus_.emplace(options::OptionMenus::Menus{BitrateMenu, PrioMenu, BitsMenu, EstMenu,
                                                    TreeMenu, StereoMenu, RecentMenu},
                        queue_, queue_rows_, defaults_,
                        options::OptionMenus::Followers{
                            [this] { return Main.ActivePage() == &Defaults; },
                            [this] { UpdateTotals(); }, [this] { RefreshSummary(); },
                            [this](const std::string& folder) { OutputFolder.SetText(folder); }});
  defaults_shown_ = defaults_.Changed.Connect([this] { ShowDefaults(); });
  encoder_followed_ = BEVersion.Changed.Connect([this] { FollowEncoder(); });
  FollowEncoder();

  queue_editing_.emplace(
      queue::QueueEditing::Controls{queue_, queue_rows_, Queue, FilesMenu, SortMenu, ScrollTimer},
      queue::QueueEditing::Followers{[this] { UpdateTotals(); },
                                     [this](uint32_t ms) { engine_.ForgetWork(ms); },
                                     [this] { IDButton.Click(); }});

  Form.SetActiveControl(&Queue);
  Form.OnPositionChanging = [this](ui::Rect& proposed) {
    proposed = SnapToWorkArea(proposed, work_area_.Get());
  };
  SpeedBar1.OnDblClick = [this] { SpeedBar1DblClick(); };

  Queue.SetContextMenu(&FilesMenu);
  Open.OnClick = [this] { OpenClick(); };
  IDButton.OnClick = [this] { tag_dialog_.IDButtonClick(); };
  FilesMenu.FindByName("AddFile")->OnClick = [this](ui::MenuItem&) { OpenClick(); };
  Form.OnDropFiles = [this](const std::vector<std::string>& paths) { DropFiles(paths); };
  Form.OnCloseQuery = [this] { return FormCloseQuery(); };
  Form.OnClose = [this] { FormClose(); };
  Encode.OnClick = [this] { EncodeClick(); };
  Stop.OnClick = [this] { StopClick(); };
  Pause.OnClick = [this] { PauseClick(); };
  Bye.OnClick = [this] { ByeClick(); };
  PathButton.OnClick = [this] { PathButtonClick(); };
  // Turned on, the saved queue follows at once: a crash from now on costs nothing queued.
  SaveListButton.OnClick = [this] { job_list_keeper_.Request(); };
  RegistryButton.OnClick = [this] { RegistryButtonClick(); };
  ResetButton.OnMouseDown = [this](ui::MouseButton, ui::ShiftState, ui::Point) {
    ResetButtonMouseDown();
  };
  ResetButton.OnMouseUp = [this](ui::MouseButton, ui::ShiftState shift, ui::Point) {
    ResetButtonMouseUp(shift.ctrl);
  };
  SettingsTimer.OnTimer = [this] { SettingsTimerTimer(); };
}

void TBlade::FormCreate() {
  // Taken before anything (a restored batch that stops at once) can put another title up.
  title_.Install();
  SettingsIO(SettingsMode::LoadSettings);
  // The drive menu needs the stored drive, and the restored queue's totals need the menu.
  output_target_.BuildDrivesMenu(defaults_.drive_index);
  SettingsIO(SettingsMode::LoadJobList);
  ShowDefaults();
}

void TBlade::FormClose() {
  SettingsIO(SettingsMode::SaveAll);
}

void TBlade::ShowDefaults() {
  Bitrate.SetCaption(std::to_string(defaults_.bitrate) + "kbps");
  Priority.SetCaption(queue::PriorityName(defaults_.priority));
  StereoButton.SetCaption(queue::StereoName(defaults_.stereo));
  TreeButton.SetCaption(std::to_string(defaults_.tree_depth));
  Selector.SetCaption(queue::EstimateName(defaults_.estimate_mode));
}

queue::EntryDefaults TBlade::CurrentDefaults() const {
  return {defaults_.bitrate,   defaults_.stereo, defaults_.priority, PrivateBit.Down(),
          CopyrightBit.Down(), CopyBit.Down(),   CRCBit.Down(),      DeleteBit.Down()};
}

void TBlade::EnqueueNames(const std::vector<std::string>& names) {
  for (const std::string& name : names)
    AddPath(name);
}

void TBlade::RestoreWindow() {
  if (Application.Minimized())
    Application.Restore();
  Form.BringToFront();
}

void TBlade::SpeedBar1DblClick() {
  ToggleCompactMode(Form, Main, work_area_.Get());
}

std::string TBlade::TaskbarTitle() const {
  return title_.TaskbarTitle(Form.Caption());
}

std::vector<ui::PopupMenu*> TBlade::Menus() {
  return {&FilesMenu, &SortMenu, &BitrateMenu, &PrioMenu,   &StereoMenu,
          &BitsMenu,  &EstMenu,  &TreeMenu,    &RecentMenu, &DrivesMenu};
}

std::vector<platform::Timer*> TBlade::Timers() {
  return {&engine_.ProgressTimer(), &SettingsTimer, &ScrollTimer, &JobListTimer};
}

void TBlade::EncodeClick() {
  engine_.Encode();
}

void TBlade::StopClick() {
  engine_.Stop();
}

void TBlade::PauseClick() {
  engine_.SetPaused(Pause.Down());
}

void TBlade::ByeClick() {
  Form.Close();
}

void TBlade::CloseUnattended() {
  unattended_close_ = true;
  Form.Close();
}

bool TBlade::FormCloseQuery() {
  const bool unattended = std::exchange(unattended_close_, false);
  return engine_.CloseQuery(unattended);
}

void TBlade::ResetCounters() {
  engine_.ResetCounters();
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
  button.SetAccessibleLabel(label);
  button.SetRole(ui::ButtonRole::CheckBox);
  AddLabel(*button.Parent(), {at.x + 18, at.y, 140, 14}, label);
}

}  // namespace tolvane::app
