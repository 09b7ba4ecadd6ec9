#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "encoding/batch_engine.h"
#include "encoding/totals.h"
#include "engine_binding.h"
#include "options/folder_form.h"
#include "options/option_menus.h"
#include "options/output_target.h"
#include "options/tag_dialog.h"
#include "options/window_defaults.h"
#include "platform/clock.h"
#include "platform/deferred_call.h"
#include "platform/desktop_files.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/timer.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "platform/ui/page_control.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/work_area.h"
#include "platform/version.h"
#include "platform/volumes.h"
#include "program_title.h"
#include "queue/folder_scan.h"
#include "queue/queue.h"
#include "queue/view/queue_editing.h"
#include "queue/view/queue_rows.h"
#include "settings/job_list_keeper.h"
#include "settings/settings_value.h"

namespace tolvane::app {

// What the main window needs from the system.
struct Services {
  ui::Application& application;
  ui::Dialogs& dialogs;
  const ui::WorkArea& work_area;
  platform::FileSystem& files;
  const platform::Paths& paths;
  platform::Volumes& volumes;
  // HKEY_CURRENT_USER.
  platform::RegistryStore& user_registry;
  platform::Clock& clock;
  platform::Processes& processes;
  platform::SystemPower& power;
  // The current folder and PATH, where a bare encoder name is looked up.
  const platform::Environment& environment;
  // The folder the program's executable lies in: a bare encoder name is looked up there too.
  std::string program_folder;
  // HKEY_CLASSES_ROOT, and the desktop's files, for the shell verb.
  platform::RegistryStore& classes_registry;
  platform::DesktopFiles& desktop_files;
  // The program's executable, as the shell verb runs it, and its job list file.
  std::string executable_path;
  std::string job_list_path;
};

// The panels of the window's status bars that the program writes, by what they show.
namespace panel {
// TotalBar: the space the queue's MP3 files need on the watched volume, and its free space.
inline constexpr int kRequired = 0;
inline constexpr int kFreeSpace = options::OutputTarget::kFreeSpacePanel;
// AllBar1: the running entry's number, and the number of entries.
inline constexpr int kRunningNumber = 0;
inline constexpr int kCount = 2;
// AllBar2: the time left, and the speed.
inline constexpr int kTimeLeft = 0;
inline constexpr int kSpeed = 2;
// AllBar3: the batch's elapsed time, and how much of it is done.
inline constexpr int kElapsed = 1;
inline constexpr int kBatchPercent = 4;
}  // namespace panel

// The main window: it owns every control of the "Files" and "Settings" pages and of the bottom
// panel, the menus and the timers, and binds them to the queue model and the batch engine. The
// controls are public: they are the program's state, and tests drive them as a user would.
class TBlade final {
 public:
  static constexpr const char* kCaption = "Tolvane " TOLVANE_RELEASE;
  static constexpr int kClientWidth = 503;
  static constexpr int kClientHeight = 365;

  explicit TBlade(const Services& services);
  TBlade(const TBlade&) = delete;
  TBlade& operator=(const TBlade&) = delete;

  // The window's life: created (settings and job list read, handlers installed), and closing
  // (everything saved).
  void FormCreate();
  void FormClose();

  // Names from the command line, in order.
  void EnqueueNames(const std::vector<std::string>& names);

  // Adding files: the Add button and menu item, files dropped on the window, and one path
  // handed over by the intake (a folder is scanned with all its subfolders).
  void OpenClick();
  void DropFiles(const std::vector<std::string>& paths);
  void AddPath(const std::string& path);

  // The files the queue takes follow the encoder: what its version label says it reads.
  void FollowEncoder();

  // The selection summary below the queue, asked for anew when the selected entries changed
  // (any change of the selection asks by itself); it is shown once the loop comes round.
  void RefreshSummary();

  // Totals of the queue and the space its MP3 files need on the watched volume.
  void UpdateTotals();
  encoding::FreeSpace DriveFreeSpace(const std::string& path);

  // Batch control, handed to the engine: the toolbar's Encode (or Reset), Stop, Pause and Bye,
  // the close question, and the idle state of the buttons and progress displays.
  void EncodeClick();
  void StopClick();
  void PauseClick();
  void ByeClick();
  bool FormCloseQuery();
  void ResetCounters();
  // A close nobody can answer (a signal, the end of the session): encoding is stopped as if the
  // close question had been answered Yes.
  void CloseUnattended();

  // Settings: every setting loaded into its field or control, saved back with the job list,
  // the job list restored, or everything erased.
  enum class SettingsMode { SaveAll = 1, LoadSettings = 2, LoadJobList = 3, EraseSettings = 4 };
  void SettingsIO(SettingsMode mode);
  // "Integrate into shell": registers or removes the "Blade it" verb.
  void RegistryButtonClick();
  // "Restore defaults", held for three seconds.
  void ResetButtonMouseDown();
  void ResetButtonMouseUp(bool ctrl);
  void SettingsTimerTimer();
  void ResetButtonClick();

  // The encoder: choosing its file, reading its version, finding a bare name.
  void PathButtonClick();
  void ShowEncoderVersion();
  std::string EncoderFile() const;
  // The defaults a new entry copies: the default fields and the settings page's flag buttons.
  queue::EntryDefaults CurrentDefaults() const;

  // Another start asked for the window: restored when minimised, brought to the front.
  void RestoreWindow();

  // Toolbar double-click: compact mode on or off.
  void SpeedBar1DblClick();

  // The title the taskbar shows: the application title while a progress title replaces the
  // one saved at start, otherwise the window caption.
  std::string TaskbarTitle() const;

  ui::Application& Application;

  // Defaults of new entries and the other values the window chose that no control holds.
  options::WindowDefaults& DefaultValues() { return defaults_; }
  const options::WindowDefaults& DefaultValues() const { return defaults_; }

  // The taskbar's title: the progress replaces the saved title only while out of sight.
  ProgramTitle& Title() { return title_; }
  const ProgramTitle& Title() const { return title_; }

  // The window and its pages.
  ui::Form Form{"Blade", kCaption};
  ui::PageControl Main{"Main", &Form};
  ui::TabSheet Files{"Files", &Main, "Files"};
  ui::TabSheet Defaults{"Defaults", &Main, "Settings"};

  // "Files" page.
  ui::ListView Queue{"Queue", &Files};
  ui::StatusBar WaveBar{"WaveBar", &Files};
  ui::SpeedButton DriveButton{"DriveButton", &Files, options::kDriveLabel};
  ui::StatusBar TotalBar{"TotalBar", &Files};
  ui::SpeedButton Mp3BitrateButton{"Mp3BitrateButton", &Files};
  ui::SpeedButton Mp3PrioButton{"Mp3PrioButton", &Files};
  ui::SpeedButton Mp3StereoButton{"Mp3StereoButton", &Files};
  ui::SpeedButton Mp3BitsButton{"Mp3BitsButton", &Files};
  ui::SpeedButton IDButton{"IDButton", &Files, "ID3"};

  // "Settings" page.
  ui::GroupBox EncoderGroup{"EncoderGroup", &Defaults, "Encoder"};
  ui::SpeedButton PrivateBit{"PrivateBit", &EncoderGroup};
  ui::SpeedButton CopyrightBit{"CopyrightBit", &EncoderGroup};
  ui::SpeedButton CopyBit{"CopyBit", &EncoderGroup};
  ui::SpeedButton CRCBit{"CRCBit", &EncoderGroup};
  ui::SpeedButton DeleteBit{"DeleteBit", &EncoderGroup};
  ui::SpeedButton Bitrate{"Bitrate", &EncoderGroup, "128kbps"};
  ui::SpeedButton StereoButton{"StereoButton", &EncoderGroup, "Stereo"};
  ui::SpeedButton Priority{"Priority", &EncoderGroup, "Lower"};
  ui::GroupBox MiscGroup{"MiscGroup", &Defaults, "Misc"};
  ui::SpeedButton RegistryButton{"RegistryButton", &MiscGroup};
  ui::SpeedButton Autostart{"Autostart", &MiscGroup};
  ui::GroupBox OnEndGroup{"OnEndGroup", &Defaults, "On end"};
  ui::SpeedButton CloseProg{"CloseProg", &OnEndGroup};
  ui::SpeedButton ShutDown{"ShutDown", &OnEndGroup};
  ui::GroupBox ChecksGroup{"ChecksGroup", &Defaults, "Disable checks"};
  ui::SpeedButton OffSpace{"OffSpace", &ChecksGroup};
  ui::SpeedButton OffOverWrite{"OffOverWrite", &ChecksGroup};
  ui::GroupBox UnfinishedGroup{"UnfinishedGroup", &Defaults, "Unfinished"};
  ui::SpeedButton SaveListButton{"SaveListButton", &UnfinishedGroup};
  ui::SpeedButton DeleteFileButton{"DeleteFileButton", &UnfinishedGroup};
  ui::SpeedButton PathButton{"PathButton", &Defaults, "Use encoder"};
  ui::Edit BladePath{"BladePath", &Defaults};
  ui::Label BEVersion{"BEVersion", &Defaults, ""};
  ui::SpeedButton OutFolderButton{"OutFolderButton", &Defaults, "Target folder"};
  ui::SpeedButton RxSpeedButton1{"RxSpeedButton1", &Defaults};
  ui::Edit OutputFolder{"OutputFolder", &Defaults};
  ui::SpeedButton ClearFolder{"ClearFolder", &Defaults, "Clear"};
  ui::Label TreeLabel{"TreeLabel", &Defaults, "Copy                   deep levels of input tree"};
  ui::SpeedButton TreeButton{"TreeButton", &Defaults, "0"};
  ui::SpeedButton ResetButton{"ResetButton", &Defaults, "Restore defaults"};

  // Bottom panel, shown on both pages.
  ui::Panel MinPanel{"MinPanel", &Form};
  ui::Panel SpeedBar1{"SpeedBar1", &MinPanel};
  ui::SpeedButton Open{"Open", &SpeedBar1, "Add"};
  ui::SpeedButton Encode{"Encode", &SpeedBar1, "Encode"};
  ui::SpeedButton Stop{"Stop", &SpeedBar1, "Stop"};
  ui::SpeedButton Pause{"Pause", &SpeedBar1, "Pause"};
  ui::SpeedButton Bye{"Bye", &SpeedBar1, "Bye"};
  ui::StatusBar AllBar1{"AllBar1", &MinPanel};
  ui::SpeedButton Selector{"Selector", &MinPanel, "batch"};
  ui::StatusBar AllBar2{"AllBar2", &MinPanel};
  ui::StatusBar AllBar3{"AllBar3", &MinPanel};
  ui::ProgressBar Completed{"Completed", &MinPanel};

  // Menus.
  ui::PopupMenu FilesMenu{"FilesMenu"};
  ui::PopupMenu SortMenu{"SortMenu"};
  ui::PopupMenu BitrateMenu{"BitrateMenu"};
  ui::PopupMenu PrioMenu{"PrioMenu"};
  ui::PopupMenu StereoMenu{"StereoMenu"};
  ui::PopupMenu BitsMenu{"BitsMenu"};
  ui::PopupMenu EstMenu{"EstMenu"};
  ui::PopupMenu TreeMenu{"TreeMenu"};
  ui::PopupMenu RecentMenu{"RecentMenu"};
  ui::PopupMenu DrivesMenu{"DrivesMenu"};

  // Timers (the progress tick is the engine's).
  platform::Timer SettingsTimer{"SettingsTimer", 100};
  platform::Timer ScrollTimer{"ScrollTimer", 500};
  // With "Job save" on, the job list follows the queue at most once a second.
  platform::Timer JobListTimer{"JobListTimer", 1000};

  queue::Queue& QueueModel() { return queue_; }
  queue::QueueEditing& Editing() { return *queue_editing_; }
  options::OptionMenus& OptionMenus() { return *option_menus_; }
  // The target folder, its picker and recent folders, and the watched volume.
  options::OutputTarget& Target() { return output_target_; }
  const options::OutputTarget& Target() const { return output_target_; }
  options::TFolderForm& FolderForm() { return folder_form_; }
  options::TIDForm& IDForm() { return tag_dialog_; }
  encoding::BatchEngine& Engine() { return engine_; }

  // Every menu and timer, for the view that shows and runs them.
  std::vector<ui::PopupMenu*> Menus();
  std::vector<platform::Timer*> Timers();

  // Labels of the settings page that nothing refers to by name.
  const std::vector<std::unique_ptr<ui::Label>>& StaticLabels() const { return labels_; }

 private:
  void LayOutFilesPage();
  void LayOutSettingsPage();
  void LayOutBottomPanel();
  void BuildMenus();
  // A 14 x 14 toggle at `at` in its group, acting as a check box, with its label to the right.
  void PlaceToggle(ui::SpeedButton& button, ui::Point at, const std::string& label);
  ui::Label& AddLabel(ui::Control& parent, ui::Rect bounds, const std::string& caption);

  // The end of every batch of additions: the message, the window to the front, autostart and
  // the totals, in the order each way of adding does them.
  void ReportUnsupported(const queue::BatchFlags& flags);
  // Queues files and folders (each folder with everything below it), says which names are not
  // there, and which files were refused.
  void AddNames(const std::vector<std::string>& paths, queue::BatchFlags& flags);
  // The open-file dialog, starting in `folder` (its parent when it is gone), several files at
  // once; nullopt when cancelled.
  std::optional<std::vector<std::string>> ChooseFiles(const std::string& filter,
                                                      std::string folder);
  settings::Settings CurrentSettings() const;
  void ApplySettings(const settings::Settings& settings);
  void ShowSelectionSummary();
  // The Settings page's buttons and the estimate selector show the chosen defaults.
  void ShowDefaults();
  void LoadSettings();
  void SaveAll();
  void LoadJobList();
  void EraseSettings();
  void WriteJobListFile();

  ui::Dialogs& dialogs_;
  const ui::WorkArea& work_area_;
  platform::FileSystem& files_;
  const platform::Paths& paths_;
  platform::Volumes& volumes_;
  platform::RegistryStore& user_registry_;
  const platform::Environment& environment_;
  std::string program_folder_;
  platform::RegistryStore& classes_registry_;
  platform::DesktopFiles& desktop_files_;
  std::string executable_path_;
  std::string job_list_path_;
  bool unattended_close_ = false;
  options::WindowDefaults defaults_;
  ProgramTitle title_{Application};
  platform::Subscription defaults_shown_;
  platform::Subscription encoder_followed_;
  std::vector<std::unique_ptr<ui::Label>> labels_;
  int next_toggle_group_ = 10;
  // The queue model, the rows the Queue list shows of it, and the batch engine that works
  // through it.
  queue::Queue queue_{files_, paths_};
  queue::QueueRows queue_rows_{queue_};
  EngineBinding engine_binding_{*this, dialogs_};
  encoding::BatchEngine engine_;
  // Built once the menus have their items.
  std::optional<options::OptionMenus> option_menus_;
  std::optional<queue::QueueEditing> queue_editing_;
  options::TFolderForm folder_form_{volumes_.List(), files_, paths_};
  options::OutputTarget output_target_;
  options::TIDForm tag_dialog_{Queue, queue_rows_, queue_, dialogs_, files_};
  platform::DeferredCall summary_{Application.Loop(), [this] { ShowSelectionSummary(); }};
  settings::JobListKeeper job_list_keeper_{
      {queue_, files_, job_list_path_, JobListTimer, [this] { return SaveListButton.Down(); },
       [this](const std::string& line) { engine_binding_.Log(line); }}};
  // The summary follows the selection, also when rows that go take theirs with them.
  platform::Subscription selection_watch_ =
      queue_rows_.Rows().RowsChanged.Connect([this](const ui::RowsChange& change) {
        if (change.kind == ui::RowsChange::Kind::Selection ||
            change.kind == ui::RowsChange::Kind::Removed ||
            change.kind == ui::RowsChange::Kind::Reset)
          summary_.Request();
      });
};

}  // namespace tolvane::app
