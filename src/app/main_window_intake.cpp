// Adding files: the Add dialog, dropped files, and paths from the intake.
#include "main_window.h"
#include "queue/view/selection_summary.h"
#include "settings/settings_store.h"
#include "sources/sound_probe.h"

namespace tolvane::app {

namespace {
constexpr const char* kUnsupportedMessage = "There were unsupported files, they were not included.";
}  // namespace

void TBlade::ReportUnsupported(const queue::BatchFlags& flags) {
  if (!flags.unsupported)
    return;
  // Sound that another encoder would take is named, so that the way to it shows.
  constexpr int kNamed = 10;
  std::string text = kUnsupportedMessage;
  int needing = 0;
  for (const auto& [path, why] : flags.unsupported_files) {
    if (why != sources::kNeedsBundledEncoder)
      continue;
    if (++needing <= kNamed)
      text += "\r" + paths_.NamePart(path) + ": " + why;
  }
  if (needing > kNamed)
    text += "\r(and " + std::to_string(needing - kNamed) + " more)";
  dialogs_.MessageBox(text, "Error", ui::MessageIcon::Error, ui::MessageButtons::Ok);
}

std::optional<std::vector<std::string>> TBlade::ChooseFiles(const std::string& filter,
                                                            std::string folder) {
  // A remembered folder that is gone falls back to its parent.
  if (!folder.empty() && !files_.FolderExists(folder))
    folder = paths_.FolderPart(folder);
  ui::OpenFileRequest request;
  request.title = "Open";
  request.filter = filter;
  request.initial_folder = folder;
  request.multiple = true;
  request.must_exist = true;
  return dialogs_.OpenFiles(request);
}

void TBlade::OpenClick() {
  Open.SetDown(true);
  queue::BatchFlags flags;
  const std::optional<std::vector<std::string>> chosen = ChooseFiles(
      queue_.Kinds().filter, settings::LoadAddFolder(user_registry_, settings::kSettingsKey));
  if (chosen && !chosen->empty()) {
    const queue::EntryDefaults defaults = CurrentDefaults();
    for (const std::string& path : *chosen) {
      flags.Fold(path, queue_.ProbeAndEnqueue(path, defaults));
    }
    if (!settings::SaveAddFolder(user_registry_, settings::kSettingsKey,
                                 paths_.FolderOf(chosen->front())))
      engine_binding_.Log("cannot store the Add dialog's folder");
  }
  ReportUnsupported(flags);
  if (flags.unsupported || flags.duplicate)
    Form.BringToFront();
  if (Autostart.Down())
    EncodeClick();
  UpdateTotals();
  Open.SetDown(false);
}

void TBlade::AddNames(const std::vector<std::string>& paths, queue::BatchFlags& flags) {
  const queue::EntryDefaults defaults = CurrentDefaults();
  for (const std::string& path : paths) {
    // A name that leads nowhere (mistyped, gone since, or a remote item the file manager could
    // not hand over) is said, not passed over in silence; the other names go on.
    if (!files_.Exists(path)) {
      dialogs_.MessageBox("File or folder not found:\r" + path, "Error", ui::MessageIcon::Error,
                          ui::MessageButtons::Ok);
      continue;
    }
    // A folder's scan may take a while: the window is drawn first.
    if (files_.FolderExists(path))
      Application.Repaint();
    queue::AddFileOrFolder(queue_, files_, paths_, path, defaults, flags);
  }
  ReportUnsupported(flags);
}

void TBlade::DropFiles(const std::vector<std::string>& paths) {
  queue::BatchFlags flags;
  // A dropped folder is queued with everything below it, as "Blade it" does.
  AddNames(paths, flags);
  if (flags.unsupported || flags.duplicate)
    Form.BringToFront();
  UpdateTotals();
  if (Autostart.Down())
    EncodeClick();
}

void TBlade::AddPath(const std::string& path) {
  queue::BatchFlags flags;
  AddNames({path}, flags);
  if (Autostart.Down())
    EncodeClick();
  UpdateTotals();
}

void TBlade::RefreshSummary() {
  // Once for a whole burst of changes, when the loop comes round.
  if (Queue.SelCount() > 0)
    summary_.Request();
}

void TBlade::ShowSelectionSummary() {
  queue::ShowSelectionSummary(queue_rows_, {WaveBar, Mp3BitrateButton, Mp3PrioButton,
                                            Mp3StereoButton, Mp3BitsButton, IDButton});
}

}  // namespace tolvane::app
