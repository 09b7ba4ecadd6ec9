// Launching the encoder for the first queued entry.
#include "batch_engine.h"
#include "totals.h"

namespace tolvane::encoding {

// The launch's questions as the window asks them: in message boxes, with the engine Asking.
class BatchEngine::LaunchQuestions final : public JobQuestions {
 public:
  LaunchQuestions(BatchEngine& engine, bool check_overwrite)
      : engine_(engine), check_overwrite_(check_overwrite) {}
  bool ReplaceExisting(const std::string& source_name) override {
    return !check_overwrite_ ||
           engine_.Ask([&] { return engine_.prompts_.OverwriteExisting(source_name); });
  }
  bool SkipShortOfSpace(const std::string& source_name, SpaceCheck where) override {
    return engine_.Ask([&] { return engine_.prompts_.SkipShortOfSpace(source_name, where); });
  }

 private:
  BatchEngine& engine_;
  bool check_overwrite_;
};

BatchEngine::NextJob BatchEngine::FailLaunch(EngineFailure failure,
                                             const std::string& source_name) {
  Tell(failure, source_name);
  Timer.SetEnabled(false);
  if (NowEncoding.FileData != nullptr)
    queue_.SetState(*NowEncoding.FileData, queue::EntryState::Queued());
  ResetCounters();
  return NextJob::Failed;
}

void BatchEngine::PassOver(queue::EntryState state) {
  queue_.SetState(*NowEncoding.FileData, std::move(state));
  Timer.SetEnabled(false);
  ResetCounters();
  NowEncoding.FileData->DoneBytes = NowEncoding.FileData->FileSize;
  UpdateTotals();
}

JobSettings BatchEngine::CurrentJobSettings(const EngineOptions& options,
                                            const std::string& encoder) const {
  JobSettings settings;
  settings.encoder = encoder;
  settings.version_label = options.version_label;
  settings.output_folder = options.output_folder;
  settings.tree_depth = options.tree_depth;
  settings.check_space = options.check_space;
  settings.show_console = options.show_console;
  // The entry's tag, and what the source's own tags hold beyond its fields.
  settings.tag_of = [this](const queue::TFileData& entry) -> std::optional<tags::SongTag> {
    if (!entry.HasTag)
      return std::nullopt;
    return tags::WithFields(host_.SourceTag(entry.FileName).value_or(tags::SongTag{}), entry);
  };
  // The switch as it is when the job ends.
  settings.unfinished = [this] {
    return UnfinishedOutput{.delete_stopped = host_.Options().delete_partial};
  };
  return settings;
}

BatchEngine::NextJob BatchEngine::StartNextJob() {
  for (;;) {
    const EngineOptions options = host_.Options();
    // The encoder must be there.
    const std::string encoder = host_.EncoderFile();
    if (!files_.FileExists(encoder)) {
      Tell(EngineFailure::EncoderNotFound, "");
      Timer.SetEnabled(false);
      ResetCounters();
      return NextJob::Failed;
    }
    queue::TFileData* first = queue_.FirstQueued();
    if (first == nullptr)
      return NextJob::NothingQueued;

    queue::TFileData& entry = *first;
    NowEncoding.FileData = &entry;
    queue_.SetState(entry, queue::EntryState::Preparing());
    const std::string source_name = paths_.NamePart(entry.FileName);

    auto job =
        std::make_unique<Job>(entry, CurrentJobSettings(options, encoder),
                              JobServices{files_, paths_, volumes_, processes_, clock_, loop_});
    job->OnResult = [this](const JobResult& result) { JobEnded(result); };
    LaunchQuestions questions(*this, options.check_overwrite);
    const LaunchResult result = job->Launch(questions);
    // The target folder's text gains its separator, visibly (it is saved so).
    if (result != LaunchResult::InputNotFound && job->Plan().output_folder != options.output_folder)
      display_.ShowOutputFolder(job->Plan().output_folder);

    switch (result) {
      case LaunchResult::Started:
        break;
      case LaunchResult::OwnOutput:
        Tell(EngineFailure::SourceIsOwnOutput, source_name);
        PassOver(queue::EntryState::Skipped());
        continue;
      case LaunchResult::ExistingKept:
        SetFinished(true);
        PassOver(queue::EntryState::Kept());
        continue;
      case LaunchResult::ShortOfSpace:
        PassOver(queue::EntryState::Skipped());
        continue;
      case LaunchResult::InputNotFound:
      case LaunchResult::FolderNotCreated:
      case LaunchResult::OutputNotCreated:
      case LaunchResult::CommandLineTooLong:
      case LaunchResult::CannotStart:
        return FailLaunch(*FailureOf(result), source_name);
    }

    NowEncoding.RunningJob = std::move(job);
    NowEncoding.ShownMs = 0;
    Become(EngineState::Running);
    entry.Started = true;
    // Its option buttons go off, should it be selected.
    display_.RefreshSelection();
    Timer.SetEnabled(true);
    display_.ShowRunning();
    return NextJob::Started;
  }
}

}  // namespace tolvane::encoding
