// Launching the encoder for the first queued entry.
#include <cstdlib>

#include "batch_engine.h"
#include "job_text.h"
#include "output_plan.h"
#include "totals.h"

namespace tolvane::encoding {

int BatchEngine::FailLaunch(EngineFailure failure, const std::string& source_name,
                            const char* status) {
  prompts_.Report(failure, source_name);
  Timer.SetEnabled(false);
  if (status != nullptr && NowEncoding.Item != nullptr)
    NowEncoding.Item->SetSubItem(0, status);
  ResetCounters();
  return -1;
}

void BatchEngine::PassOver(const char* status) {
  NowEncoding.Item->SetSubItem(0, status);
  Timer.SetEnabled(false);
  ResetCounters();
  NowEncoding.FileData->DoneBytes = NowEncoding.FileData->FileSize;
  UpdateTotals();
}

int BatchEngine::StartNextJob() {
  for (;;) {
    EngineOptions options = host_.Options();
    // 1. The encoder must be there.
    const std::string encoder = host_.EncoderFile();
    if (!files_.FileExists(encoder)) {
      prompts_.Report(EngineFailure::EncoderNotFound, "");
      Timer.SetEnabled(false);
      ResetCounters();
      return -1;
    }
    // 2. The first row that reads exactly "Queued".
    ui::ListItem* row = queue_.FirstQueued();
    if (row == nullptr)
      return 1;

    // 3. Mark it.
    NowEncoding.Item = row;
    row->SetCut(false);
    row->SetSubItem(0, queue::status::kPreparing);
    NowEncoding.FileData = queue::EntryOf(*row);
    queue::TFileData& entry = *NowEncoding.FileData;
    const std::string source_name = paths_.NamePart(entry.FileName);

    // 4. The source must be there.
    if (!files_.FileExists(entry.FileName))
      return FailLaunch(EngineFailure::InputNotFound, source_name, queue::status::kQueued);

    // 5. to 7. The target folder, the levels of the source's tree copied below it, and the
    // output beside the source.
    const OutputPlan plan = PlanOutput(entry.FileName, options.output_folder, options.tree_depth,
                                       options.version_label, paths_);
    const std::string& output_folder = plan.output_folder;
    if (output_folder != options.output_folder)
      display_.ShowOutputFolder(output_folder);
    NowEncoding.OutName = plan.beside;

    // 8. The target folder and its tree levels, one level at a time.
    if (!MakeTargetFolders(files_, paths_, plan))
      return FailLaunch(EngineFailure::OutputFolderNotCreated, source_name, queue::status::kQueued);

    // 9. The target.
    const std::string& target_folder = plan.target_folder;
    const std::string& target = plan.target;

    // The MP3 must never be written over its own source (a WAVE file named song.mp3, or a
    // target folder that leads back to the source's folder): the entry is passed over before
    // anything touches the output.
    const bool writes_to_target = plan.encoder_writes_target;
    const std::string moved_to =
        output_folder.empty() ? "" : output_folder + paths_.NamePart(NowEncoding.OutName);
    if (files_.SameFile(writes_to_target ? target : NowEncoding.OutName, entry.FileName) ||
        (!writes_to_target && !moved_to.empty() && files_.SameFile(moved_to, entry.FileName))) {
      prompts_.Report(EngineFailure::SourceIsOwnOutput, source_name);
      PassOver(queue::status::kSkipped);
      continue;
    }

    // 10. An output that exists already.
    if (options.check_overwrite && (files_.FileExists(NowEncoding.OutName) ||
                                    (!output_folder.empty() && files_.FileExists(target)))) {
      if (!prompts_.OverwriteExisting(source_name)) {
        row->SetSubItem(0, queue::status::kCompleted);
        finished_ = true;
        display_.ShowFinished(true);
        PassOver(queue::status::kCompleted);
        continue;
      }
    }

    // 11. Free space, where it can be read.
    if (options.check_space) {
      const auto short_of_space = [&](const std::string& folder) {
        const double free = DriveFreeSpace(volumes_, folder).bytes;
        return free > 0 && static_cast<double>(entry.RequiredSize) * 1.2 >= free;
      };
      bool skip = short_of_space(paths_.FolderOf(NowEncoding.OutName)) &&
                  prompts_.SkipShortOfSpace(source_name, SpaceCheck::Source);
      if (!skip && !output_folder.empty() && short_of_space(target_folder))
        skip = prompts_.SkipShortOfSpace(source_name, SpaceCheck::Target);
      if (skip) {
        PassOver(queue::status::kSkipped);
        continue;
      }
    }

    // 12. Encoders that know -OUTDIR write into the target themselves.
    NowEncoding.OutName = plan.encoder_output;
    entry.OutputPath = NowEncoding.OutName;

    // 13. The output, empty, and a handle to watch it grow.
    files_.Open(NowEncoding.OutName, platform::OpenMode::CreateTruncate);
    NowEncoding.OutHandle = files_.Open(NowEncoding.OutName, platform::OpenMode::Read);

    // 14. The command line; one too long for the classic buffer is refused.
    const std::string command_line =
        BuildCommandLine(encoder, options.version_label, entry, target_folder, paths_);
    if (command_line.size() > kMaxCommandLine) {
      NowEncoding.OutHandle.reset();
      return FailLaunch(EngineFailure::CommandLineTooLong, source_name, queue::status::kQueued);
    }

    // 15. and 16. The child.
    NowEncoding.ProcessInfo = processes_.Start(command_line, options.show_console);
    if (NowEncoding.ProcessInfo == nullptr) {
      NowEncoding.OutHandle.reset();
      return FailLaunch(EngineFailure::CannotStart, source_name, queue::status::kQueued);
    }

    // 17. Running. The job's clock starts now; a job that ends before its first tick has
    // taken no time yet.
    entry.Started = true;
    if (queue_.Rows().Selected() == row)
      display_.RefreshSelection();
    NowEncoding.StartTick = clock_.GetTickCount();
    NowEncoding.LastTick = NowEncoding.StartTick;
    Timer.SetEnabled(true);
    WatchChildEnd();
    display_.ShowRunning();
    return 0;
  }
}

}  // namespace tolvane::encoding
