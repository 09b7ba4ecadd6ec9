// Settings: loading, saving, the job list, restoring the defaults, the shell verb.
#include <algorithm>

#include "main_window.h"
#include "queue/names.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "shell/shell_verbs.h"

namespace tolvane::app {

namespace {

// A value of another type stops the load: what follows keeps its state.
class TypeError {};

template <typename T>
T Checked(std::optional<T> value, const std::string& name, ui::Dialogs& dialogs,
          const std::string& caption) {
  if (value)
    return *value;
  dialogs.MessageBox("Invalid data type for '" + name + "'", caption, ui::MessageIcon::Error,
                     ui::MessageButtons::Ok);
  throw TypeError{};
}

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

void TBlade::LoadSettings() {
  const settings::SettingsStore store(user_registry_, settings::kSettingsKey);
  const std::string& caption = Application.Title();
  auto integer = [&](const char* name, int32_t fallback) {
    return Checked(store.Integer(name, fallback), name, dialogs_, caption);
  };
  auto on = [&](const char* name, bool fallback = false) {
    return Checked(store.Switch(name, fallback), name, dialogs_, caption);
  };
  auto text = [&](const char* name, const std::string& fallback) {
    return Checked(store.Text(name, fallback), name, dialogs_, caption);
  };
  try {
    DriveIndex = integer("Drive", 0);
    CRCBit.SetDown(on("CRC"));
    DeleteBit.SetDown(on("Delete"));
    PrivateBit.SetDown(on("Private"));
    CopyrightBit.SetDown(on("Copyright"));
    CopyBit.SetDown(on("Copy"));
    // One group: with both stored on, the later one wins.
    CloseProg.SetDown(on("Close"));
    ShutDown.SetDown(on("Shutdown"));
    EstimateMode = on("Selector", true) ? 1 : 0;
    SaveListButton.SetDown(on("Savelist"));
    DeleteFileButton.SetDown(on("DeleteBad"));
    Autostart.SetDown(on("Autostart"));
    OutputFolder.SetText(text("Output", ""));

    DefaultBitrate = integer("Bitrate", 128);
    if (DefaultBitrate < 15) {
      DefaultBitrate = 128;
      settings::SettingsStore(user_registry_, settings::kSettingsKey).WriteInteger("Bitrate", 128);
    }
    Bitrate.SetCaption(std::to_string(DefaultBitrate) + "kbps");
    // Numbers outside their tables are held at the nearest end, so every caption is a name.
    DefaultPriority = std::clamp(integer("Priority", 2), 0, 5);
    Priority.SetCaption(queue::PriorityName(DefaultPriority));
    DefaultStereo = std::clamp(integer("Stereo", 0), 0, 4);
    StereoButton.SetCaption(queue::StereoName(DefaultStereo));
    TreeDepth = integer("Tree", 0);
    TreeButton.SetCaption(std::to_string(TreeDepth));

    const ui::Rect area = work_area_.Get();
    const int top = integer("Top", area.top + (area.height - Form.Height()) / 2);
    const int left = integer("Left", area.left + (area.width - Form.Width()) / 2);
    Form.SetBounds({left, top, Form.Width(), Form.Height()});

    BladePath.SetText(text("BladePath", "bladeenc"));
    ShowEncoderVersion();

    RegistryButton.SetDown(on("Shell"));
    OffSpace.SetDown(on("OffSpace"));
    OffOverWrite.SetDown(on("OffOverwrite"));
    for (int i = 0; i < 5; ++i) {
      ui::MenuItem& item = RecentMenu.Item(i);
      item.SetCaption(text(("Recent" + std::to_string(i)).c_str(), ""));
      item.SetVisible(!item.Caption().empty());
    }
  } catch (const TypeError&) {
    // Reported; the rest keeps its state.
  }
  Selector.SetCaption(queue::EstimateName(EstimateMode));
}

void TBlade::SaveAll() {
  settings::SettingsStore store(user_registry_, settings::kSettingsKey);
  for (int i = 0; i < DrivesMenu.Count(); ++i) {
    if (DrivesMenu.Item(i).Checked())
      store.WriteInteger("Drive", i);
  }
  const std::pair<const char*, const ui::SpeedButton*> first_switches[] = {
      {"CRC", &CRCBit},         {"Delete", &DeleteBit},
      {"Copy", &CopyBit},       {"Copyright", &CopyrightBit},
      {"Private", &PrivateBit}, {"Close", &CloseProg},
      {"Shutdown", &ShutDown}};
  for (const auto& [name, button] : first_switches)
    store.WriteSwitch(name, button->Down());
  store.WriteSwitch("Selector", EstimateMode != 0);
  store.WriteSwitch("Savelist", SaveListButton.Down());
  store.WriteSwitch("Autostart", Autostart.Down());
  store.WriteInteger("Bitrate", DefaultBitrate);
  store.WriteInteger("Stereo", DefaultStereo);
  store.WriteInteger("Priority", DefaultPriority);
  store.WriteInteger("Tree", TreeDepth);
  store.WriteInteger("Top", Form.Top());
  store.WriteInteger("Left", Form.Left());
  const std::pair<const char*, const ui::SpeedButton*> last_switches[] = {
      {"Shell", &RegistryButton},
      {"OffSpace", &OffSpace},
      {"OffOverwrite", &OffOverWrite},
      {"DeleteBad", &DeleteFileButton}};
  for (const auto& [name, button] : last_switches)
    store.WriteSwitch(name, button->Down());
  store.WriteText("Output", OutputFolder.Text());
  for (int i = 0; i < 5; ++i) {
    store.WriteText("Recent" + std::to_string(i), RecentMenu.Item(i).Caption());
  }
  if (!user_registry_.Flush()) {
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
      const ui::ListItem& row = Queue.Item(i);
      if (queue::IsFinished(row.SubItem(0)))
        continue;
      if (const queue::TFileData* entry = queue::EntryOf(row))
        unfinished.push_back(entry);
    }
  }
  settings::WriteJobList(files_, job_list_path_, unfinished);
}

void TBlade::LoadJobList() {
  if (!SaveListButton.Down()) {
    files_.Delete(job_list_path_);
    return;
  }
  if (!files_.FileExists(job_list_path_))
    return;
  Queue.BeginUpdate();
  const queue::EntryDefaults defaults = CurrentDefaults();
  settings::ReadJobList(files_, job_list_path_, [&](const settings::JobRecordRead& record) {
    Application.ProcessMessages();
    queue::TFileData* entry = nullptr;
    if (queue_.ProbeAndEnqueue(record.path, defaults, entry) != 0)
      return;
    const queue::TFileData& saved = record.fields;
    entry->Priority = std::clamp(saved.Priority, 0, 5);
    entry->Bitrate = saved.Bitrate;
    entry->PrivateFlag = saved.PrivateFlag;
    entry->CopyrightFlag = saved.CopyrightFlag;
    entry->CopyFlag = saved.CopyFlag;
    entry->CRCFlag = saved.CRCFlag;
    entry->DeleteFlag = saved.DeleteFlag;
    entry->StereoMode = std::clamp(saved.StereoMode, 0, 4);
    // The expected size follows the restored bitrate, not the default it was probed with.
    entry->RequiredSize = queue::RequiredSizeFor(
        entry->FileSize,
        static_cast<int64_t>(entry->Channels) * entry->BitsPerSample * entry->SampleRate,
        entry->Bitrate);
    entry->HasTag = saved.HasTag;
    if (saved.HasTag) {
      entry->Item->SetStateIndex(5);
      entry->TagTitle = saved.TagTitle;
      entry->TagArtist = saved.TagArtist;
      entry->TagAlbum = saved.TagAlbum;
      entry->TagYear = saved.TagYear;
      entry->TagComment = saved.TagComment;
      entry->TagGenre = saved.TagGenre;
    }
  });
  files_.Delete(job_list_path_);
  if (Autostart.Down() && Queue.Count() > 0)
    EncodeClick();
  UpdateTotals();
  Queue.EndUpdate();
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
