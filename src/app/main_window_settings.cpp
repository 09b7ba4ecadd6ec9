// Settings: loading, saving, the job list, restoring the defaults, the shell verb.
#include <algorithm>

#include "edge_snap.h"
#include "main_window.h"
#include "queue/names.h"
#include "queue/probe.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "settings/settings_value.h"
#include "shell/shell_integration.h"

namespace tolvane::app {

namespace {

// The Settings page's switches and the setting each stands for, in the order they are set: of the
// two "On end" switches, one group, the later one wins.
const std::pair<bool settings::Settings::*, ui::SpeedButton TBlade::*> kSwitches[] = {
    {&settings::Settings::crc, &TBlade::CRCBit},
    {&settings::Settings::delete_source, &TBlade::DeleteBit},
    {&settings::Settings::private_bit, &TBlade::PrivateBit},
    {&settings::Settings::copyright, &TBlade::CopyrightBit},
    {&settings::Settings::copy, &TBlade::CopyBit},
    {&settings::Settings::close_at_end, &TBlade::CloseProg},
    {&settings::Settings::shutdown_at_end, &TBlade::ShutDown},
    {&settings::Settings::save_list, &TBlade::SaveListButton},
    {&settings::Settings::delete_partial, &TBlade::DeleteFileButton},
    {&settings::Settings::autostart, &TBlade::Autostart},
    {&settings::Settings::shell, &TBlade::RegistryButton},
    {&settings::Settings::off_space, &TBlade::OffSpace},
    {&settings::Settings::off_overwrite, &TBlade::OffOverWrite},
};

constexpr int kResetTicks = 30;

}  // namespace

void TBlade::SettingsIO(SettingsMode mode) {
  switch (mode) {
    case SettingsMode::SaveAll:
      SaveAll();
      break;
    case SettingsMode::LoadSettings:
      LoadSettings();
      break;
    case SettingsMode::LoadJobList:
      LoadJobList();
      break;
    case SettingsMode::EraseSettings:
      EraseSettings();
      break;
  }
}

settings::Settings TBlade::CurrentSettings() const {
  settings::Settings s;
  for (const auto& [field, button] : kSwitches)
    s.*field = (this->*button).Down();
  s.drive = output_target_.CheckedDrive();
  s.estimate_batch = defaults_.estimate_mode != 0;
  s.output_folder = OutputFolder.Text();
  s.bitrate = defaults_.bitrate;
  s.priority = defaults_.priority;
  s.stereo = defaults_.stereo;
  s.tree = defaults_.tree_depth;
  s.top = Form.Top();
  s.left = Form.Left();
  s.encoder_path = BladePath.Text();
  for (int i = 0; i < static_cast<int>(s.recent.size()); ++i)
    s.recent[i] = RecentMenu.Item(i).Caption();
  return s;
}

void TBlade::ApplySettings(const settings::Settings& s) {
  for (const auto& [field, button] : kSwitches)
    (this->*button).SetDown(s.*field);
  defaults_.drive_index = s.drive.value_or(defaults_.drive_index);
  defaults_.estimate_mode = s.estimate_batch ? 1 : 0;
  defaults_.bitrate = s.bitrate;
  defaults_.priority = s.priority;
  defaults_.stereo = s.stereo;
  defaults_.tree_depth = s.tree;
  ShowDefaults();
  OutputFolder.SetText(s.output_folder);
  const ui::Point place =
      PlaceOnWorkArea({s.left, s.top, Form.Width(), Form.Height()}, work_area_.Get());
  Form.SetBounds({place.x, place.y, Form.Width(), Form.Height()});
  BladePath.SetText(s.encoder_path);
  for (int i = 0; i < static_cast<int>(s.recent.size()); ++i) {
    ui::MenuItem& item = RecentMenu.Item(i);
    item.SetCaption(s.recent[i]);
    item.SetVisible(!item.Caption().empty());
  }
}

void TBlade::LoadSettings() {
  settings::Settings start = CurrentSettings();
  start.drive = defaults_.drive_index;
  const ui::Rect area = work_area_.Get();
  const settings::DefaultPlace centred{area.top + (area.height - Form.Height()) / 2,
                                       area.left + (area.width - Form.Width()) / 2};
  const settings::LoadedSettings loaded =
      settings::LoadSettings(user_registry_, settings::kSettingsKey, start, centred);
  if (loaded.wrong_type) {
    dialogs_.MessageBox("Invalid data type for '" + *loaded.wrong_type + "'", Application.Title(),
                        ui::MessageIcon::Error, ui::MessageButtons::Ok);
  }
  ApplySettings(loaded.value);
  // Also on a first start, when nothing was stored yet: the label gates the switches and the
  // sources the encoder is given, so it must tell the encoder that the default name finds.
  ShowEncoderVersion();
}

void TBlade::SaveAll() {
  if (!settings::SaveSettings(user_registry_, settings::kSettingsKey, CurrentSettings())) {
    dialogs_.MessageBox(settings::kSetDataFailed, Application.Title(), ui::MessageIcon::Error,
                        ui::MessageButtons::Ok);
    return;
  }
  WriteJobListFile();
}

void TBlade::WriteJobListFile() {
  std::vector<const queue::TFileData*> unfinished;
  if (SaveListButton.Down())
    unfinished = queue_.Unfinished();
  // The list of the last run stays until this one is safely in its place.
  if (!settings::WriteJobList(files_, job_list_path_, unfinished)) {
    dialogs_.MessageBox("Failed to save the job list to '" + job_list_path_ + "'",
                        Application.Title(), ui::MessageIcon::Error, ui::MessageButtons::Ok);
  }
}

void TBlade::LoadJobList() {
  if (!SaveListButton.Down()) {
    // Without Job save no list is read; one that cannot go is never restored unasked.
    (void)files_.Delete(job_list_path_);
    return;
  }
  if (!files_.FileExists(job_list_path_))
    return;
  queue_rows_.Rows().BeginUpdate();
  const queue::EntryDefaults defaults = CurrentDefaults();
  settings::ReadJobList(files_, job_list_path_, [&](const settings::JobRecordRead& record) {
    Application.ProcessMessages();
    queue::TFileData* const entry = queue_.ProbeAndEnqueue(record.path, defaults).entry;
    if (entry == nullptr)
      return;
    settings::ApplyJobRecord(record, *entry);
    queue_.OptionsChanged(*entry);
    queue_.TagChanged(*entry);
  });
  // The file stays until the close replaces it: a crash or a kill during the session must not
  // cost the saved queue.
  if (Autostart.Down() && Queue.Count() > 0)
    EncodeClick();
  UpdateTotals();
  queue_rows_.Rows().EndUpdate();
}

void TBlade::EraseSettings() {
  (void)user_registry_.DeleteKey(settings::kSettingsKey);  // none stored: nothing to erase
  if (const platform::Result erased = user_registry_.Flush(); !erased) {
    dialogs_.MessageBox(std::string(settings::kSetDataFailed) + "\r" + erased.Why(),
                        Application.Title(), ui::MessageIcon::Error, ui::MessageButtons::Ok);
  }
  RegistryButton.SetDown(false);
  RegistryButtonClick();
}

void TBlade::RegistryButtonClick() {
  const bool on = RegistryButton.Down();
  // The registry's verb, and what Linux file managers read.
  const platform::Result done =
      on ? shell::IntegrateIntoShell(classes_registry_, desktop_files_, executable_path_)
         : shell::LeaveShell(classes_registry_, desktop_files_);
  if (done)
    return;
  // The switch shows what is in place.
  RegistryButton.SetDown(!on);
  dialogs_.MessageBox(
      std::string(on ? "Failed to integrate into shell" : "Failed to leave the shell") + "\r" +
          done.Why(),
      Application.Title(), ui::MessageIcon::Error, ui::MessageButtons::Ok);
}

void TBlade::ResetButtonMouseDown() {
  SettingsTimer.SetEnabled(true);
}

void TBlade::SettingsTimerTimer() {
  if (ResetButton.Tag() >= kResetTicks) {
    ResetButton.SetCaption("Release");
    return;
  }
  ResetButton.SetTag(ResetButton.Tag() + 1);
  const int left = kResetTicks - ResetButton.Tag();
  ResetButton.SetCaption("Wait " + std::to_string(left / 10) + "." + std::to_string(left % 10) +
                         " seconds");
}

void TBlade::ResetButtonMouseUp(bool ctrl) {
  SettingsTimer.SetEnabled(false);
  ResetButton.SetCaption("Restore defaults");
  if (ResetButton.Tag() >= kResetTicks) {
    if (ctrl) {
      defaults_.show_encoder_console = defaults_.show_encoder_console == 0 ? 1 : 0;
    } else {
      ResetButtonClick();
    }
  }
  ResetButton.SetTag(0);
}

void TBlade::ResetButtonClick() {
  SettingsIO(SettingsMode::EraseSettings);
  SettingsIO(SettingsMode::LoadSettings);
}

}  // namespace tolvane::app
