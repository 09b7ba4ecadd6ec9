// Launching the encoder for the first queued entry.
#include "encoding/job_text.h"
#include "main_window.h"

namespace tolvane::app {

namespace {
// The longest command line the program passes on, as the classic one-string buffer allowed.
constexpr size_t kMaxCommandLine = 10'240;
}  // namespace

int TBlade::FailLaunch(const std::string& message, const std::string& caption, const char* status) {
  dialogs_.MessageBox(message, caption, ui::MessageIcon::Error, ui::MessageButtons::Ok);
  Timer.SetEnabled(false);
  if (status != nullptr && NowEncoding.Item != nullptr)
    NowEncoding.Item->SetSubItem(0, status);
  ResetCounters();
  return -1;
}

void TBlade::PassOver(const char* status) {
  NowEncoding.Item->SetSubItem(0, status);
  Timer.SetEnabled(false);
  ResetCounters();
  NowEncoding.FileData->DoneBytes = NowEncoding.FileData->FileSize;
  UpdateTotals();
}

int TBlade::StartNextJob() {
  for (;;) {
    // 1. The encoder must be there.
    const std::string encoder = EncoderFile();
    if (!files_.FileExists(encoder)) {
      dialogs_.MessageBox("BladeEnc not found. Check its path!", "Error", ui::MessageIcon::Error,
                          ui::MessageButtons::Ok);
      Timer.SetEnabled(false);
      ResetCounters();
      return -1;
    }
    // 2. The first row that reads exactly "Queued".
    ui::ListItem* row = nullptr;
    for (int i = 0; i < Queue.Count() && row == nullptr; ++i) {
      if (Queue.Item(i).SubItem(0) == queue::status::kQueued)
        row = &Queue.Item(i);
    }
    if (row == nullptr)
      return 1;

    // 3. Mark it.
    NowEncoding.Item = row;
    row->SetCut(false);
    row->SetSubItem(0, queue::status::kPreparing);
    NowEncoding.FileData = queue::EntryOf(*row);
    queue::TFileData& entry = *NowEncoding.FileData;

    // 4. The source must be there.
    if (!files_.FileExists(entry.FileName)) {
      return FailLaunch(
          "Input file not found.\r\rHandle for this situation\ris still not completed.\rRemove "
          "this file from queue.",
          "Error", queue::status::kQueued);
    }

    // 5. and 6. The target folder, and the levels of the source's tree copied below it.
    if (!OutputFolder.Text().empty()) {
      OutputFolder.SetText(paths_.WithTrailingSeparator(OutputFolder.Text()));
    }
    const std::string output_folder = OutputFolder.Text();
    const int depth = std::atoi(TreeButton.Caption().c_str());
    const std::string suffix =
        output_folder.empty() ? "" : paths_.MirroredTreeLevels(entry.FileName, depth);

    // 7. The output beside the source.
    NowEncoding.OutName = paths_.WithMp3Extension(entry.FileName);
    const std::string bare_name = paths_.NamePart(NowEncoding.OutName);

    // 8. The target folder and its tree levels, one level at a time.
    if (!output_folder.empty()) {
      std::string folder = output_folder;
      bool made = files_.FolderExists(folder) || files_.CreateFolder(folder);
      for (size_t start = 0; made && start < suffix.size();) {
        const size_t end = suffix.find(paths_.Separator(), start);
        folder += suffix.substr(start, end - start + 1);
        made = files_.FolderExists(folder) || files_.CreateFolder(folder);
        start = end + 1;
      }
      if (!made)
        return FailLaunch("Can't create output folder.", "Error!", queue::status::kQueued);
    }

    // 9. The target.
    const std::string target_folder = output_folder.empty() ? "" : output_folder + suffix;
    const std::string target = target_folder + bare_name;

    // 10. An output that exists already.
    if (!OffOverWrite.Down() && (files_.FileExists(NowEncoding.OutName) ||
                                 (!output_folder.empty() && files_.FileExists(target)))) {
      const std::string question =
          "File " + paths_.NamePart(entry.FileName) + " is already compressed.\rOverwrite?";
      if (dialogs_.MessageBox(question, "Warning!", ui::MessageIcon::Warning,
                              ui::MessageButtons::YesNo) == ui::MessageAnswer::No) {
        row->SetSubItem(0, queue::status::kCompleted);
        Encode.SetCaption("Reset");
        PassOver(queue::status::kCompleted);
        continue;
      }
    }

    // 11. Free space, where it can be read.
    if (!OffSpace.Down()) {
      const auto short_of_space = [&](const std::string& folder) {
        const double free = DriveFreeSpace(folder).bytes;
        return free > 0 && static_cast<double>(entry.RequiredSize) * 1.2 >= free;
      };
      const std::string name = paths_.NamePart(entry.FileName);
      bool skip = false;
      if (short_of_space(paths_.FolderOf(NowEncoding.OutName))) {
        skip = dialogs_.MessageBox("Probably there are not enough free space for encoding file\r" +
                                       name + "\rSkip this file?",
                                   "Warning!", ui::MessageIcon::Warning,
                                   ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
      }
      if (!skip && !output_folder.empty() && short_of_space(target_folder)) {
        skip = dialogs_.MessageBox(
                   "Probably there are not enough free space in target folder for file\r" + name +
                       "\rSkip this file?",
                   "Warning!", ui::MessageIcon::Warning,
                   ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
      }
      if (skip) {
        PassOver(queue::status::kSkipped);
        continue;
      }
    }

    // 12. Encoders that know -OUTDIR write into the target themselves.
    const std::string version = BEVersion.Caption();
    if (encoding::VersionAtLeast(version, encoding::kOutdirVersion) && !output_folder.empty()) {
      NowEncoding.OutName = target;
    }
    entry.OutputPath = NowEncoding.OutName;

    // 13. The output, empty, and a handle to watch it grow.
    files_.Open(NowEncoding.OutName, platform::OpenMode::CreateTruncate);
    NowEncoding.OutHandle = files_.Open(NowEncoding.OutName, platform::OpenMode::Read);

    // 14. The command line; one too long for the classic buffer is refused.
    const std::string command_line =
        encoding::BuildCommandLine(encoder, version, entry, target_folder, paths_);
    if (command_line.size() > kMaxCommandLine) {
      NowEncoding.OutHandle.reset();
      return FailLaunch("The command line for " + paths_.NamePart(entry.FileName) +
                            " is longer than " + std::to_string(kMaxCommandLine) +
                            " characters.\rUse a shorter path.",
                        "Error", queue::status::kQueued);
    }

    // 15. and 16. The child.
    NowEncoding.ProcessInfo = processes_.Start(command_line, ShowEncoderConsole != 0);
    if (NowEncoding.ProcessInfo == nullptr) {
      NowEncoding.OutHandle.reset();
      return FailLaunch("Fatal error!", "Error", queue::status::kQueued);
    }

    // 17. Running.
    entry.Started = true;
    if (Queue.Selected() == row)
      QueueChange(row, ui::ItemChange::State);
    NowEncoding.StartTick = clock_.GetTickCount();
    Timer.SetEnabled(true);
    Encode.SetEnabled(false);
    Stop.SetEnabled(true);
    Pause.SetEnabled(true);
    return 0;
  }
}

}  // namespace tolvane::app
