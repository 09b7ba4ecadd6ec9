// Settings: loading, saving, the job list, restoring the defaults, the shell verb.
#include <algorithm>

#include "edge_snap.h"
#include "main_window.h"
#include "queue/names.h"
#include "queue/probe.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "settings/settings_value.h"
#include "shell/freedesktop_verb.h"
#include "shell/shell_verbs.h"

namespace tolvane::app {

namespace {
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
  s.drive = output_target_.CheckedDrive();
  s.crc = CRCBit.Down();
  s.delete_source = DeleteBit.Down();
  s.private_bit = PrivateBit.Down();
  s.copyright = CopyrightBit.Down();
  s.copy = CopyBit.Down();
  s.close_at_end = CloseProg.Down();
  s.shutdown_at_end = ShutDown.Down();
  s.estimate_batch = EstimateMode != 0;
  s.save_list = SaveListButton.Down();
  s.delete_partial = DeleteFileButton.Down();
  s.autostart = Autostart.Down();
  s.output_folder = OutputFolder.Text();
  s.bitrate = DefaultBitrate;
  s.priority = DefaultPriority;
  s.stereo = DefaultStereo;
  s.tree = TreeDepth;
  s.top = Form.Top();
  s.left = Form.Left();
  s.encoder_path = BladePath.Text();
  s.shell = RegistryButton.Down();
  s.off_space = OffSpace.Down();
  s.off_overwrite = OffOverWrite.Down();
  for (int i = 0; i < static_cast<int>(s.recent.size()); ++i)
    s.recent[i] = RecentMenu.Item(i).Caption();
  return s;
}

void TBlade::ApplySettings(const settings::Settings& s) {
  DriveIndex = s.drive.value_or(DriveIndex);
  CRCBit.SetDown(s.crc);
  DeleteBit.SetDown(s.delete_source);
  PrivateBit.SetDown(s.private_bit);
  CopyrightBit.SetDown(s.copyright);
  CopyBit.SetDown(s.copy);
  // One group: with both stored on, the later one wins.
  CloseProg.SetDown(s.close_at_end);
  ShutDown.SetDown(s.shutdown_at_end);
  EstimateMode = s.estimate_batch ? 1 : 0;
  SaveListButton.SetDown(s.save_list);
  DeleteFileButton.SetDown(s.delete_partial);
  Autostart.SetDown(s.autostart);
  OutputFolder.SetText(s.output_folder);
  DefaultBitrate = s.bitrate;
  Bitrate.SetCaption(std::to_string(DefaultBitrate) + "kbps");
  DefaultPriority = s.priority;
  Priority.SetCaption(queue::PriorityName(DefaultPriority));
  DefaultStereo = s.stereo;
  StereoButton.SetCaption(queue::StereoName(DefaultStereo));
  TreeDepth = s.tree;
  TreeButton.SetCaption(std::to_string(TreeDepth));
  const ui::Point place =
      PlaceOnWorkArea({s.left, s.top, Form.Width(), Form.Height()}, work_area_.Get());
  Form.SetBounds({place.x, place.y, Form.Width(), Form.Height()});
  BladePath.SetText(s.encoder_path);
  RegistryButton.SetDown(s.shell);
  OffSpace.SetDown(s.off_space);
  OffOverWrite.SetDown(s.off_overwrite);
  for (int i = 0; i < static_cast<int>(s.recent.size()); ++i) {
    ui::MenuItem& item = RecentMenu.Item(i);
    item.SetCaption(s.recent[i]);
    item.SetVisible(!item.Caption().empty());
  }
  Selector.SetCaption(queue::EstimateName(EstimateMode));
}

void TBlade::LoadSettings() {
  settings::Settings start = CurrentSettings();
  start.drive = DriveIndex;
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
  if (loaded.encoder_path_read)
    ShowEncoderVersion();
}

void TBlade::SaveAll() {
  if (!settings::SaveSettings(user_registry_, settings::kSettingsKey, CurrentSettings())) {
    dialogs_.MessageBox("Failed to set data for 'Tolvane'", Application.Title(),
                        ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  WriteJobListFile();
}

void TBlade::WriteJobListFile() {
  std::vector<const queue::TFileData*> unfinished;
  if (SaveListButton.Down()) {
    for (int i = 0; i < Queue.Count(); ++i) {
      const platform::ListItem& row = Queue.Item(i);
      if (queue::IsFinished(row.SubItem(0)))
        continue;
      if (const queue::TFileData* entry = queue::EntryOf(row))
        unfinished.push_back(entry);
    }
  }
  // The list of the last run stays until this one is safely in its place.
  if (!settings::WriteJobList(files_, job_list_path_, unfinished)) {
    dialogs_.MessageBox("Failed to save the job list to '" + job_list_path_ + "'",
                        Application.Title(), ui::MessageIcon::Error, ui::MessageButtons::Ok);
  }
}

void TBlade::LoadJobList() {
  if (!SaveListButton.Down()) {
    files_.Delete(job_list_path_);
    return;
  }
  if (!files_.FileExists(job_list_path_))
    return;
  queue_.Rows().BeginUpdate();
  const queue::EntryDefaults defaults = CurrentDefaults();
  settings::ReadJobList(files_, job_list_path_, [&](const settings::JobRecordRead& record) {
    Application.ProcessMessages();
    queue::TFileData* entry = nullptr;
    if (queue_.ProbeAndEnqueue(record.path, defaults, entry) != 0)
      return;
    settings::ApplyJobRecord(record, *entry);
    if (entry->HasTag)
      entry->Item->SetStateIndex(5);
  });
  // The file stays until the close replaces it: a crash or a kill during the session must not
  // cost the saved queue.
  if (Autostart.Down() && Queue.Count() > 0)
    EncodeClick();
  UpdateTotals();
  queue_.Rows().EndUpdate();
}

void TBlade::EraseSettings() {
  user_registry_.DeleteKey(settings::kSettingsKey);
  user_registry_.Flush();
  RegistryButton.SetDown(false);
  RegistryButtonClick();
}

void TBlade::RegistryButtonClick() {
  for (const shell::VerbEntry& entry : shell::kVerbEntries) {
    if (RegistryButton.Down()) {
      shell::RegisterShellVerb(classes_registry_, entry, executable_path_);
    } else {
      shell::UnregisterShellVerb(classes_registry_, entry);
    }
  }
  classes_registry_.Flush();
  // What Linux file managers read.
  if (RegistryButton.Down()) {
    shell::InstallBladeIt(desktop_files_, executable_path_);
  } else {
    shell::RemoveBladeIt(desktop_files_);
  }
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
      ShowEncoderConsole = ShowEncoderConsole == 0 ? 1 : 0;
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
