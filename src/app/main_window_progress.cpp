// The progress timer: each second while a job runs.
#include <cmath>

#include "encoding/job_text.h"
#include "main_window.h"
#include "options/id3_tag.h"
#include "queue/count_text.h"

namespace tolvane::app {

namespace {
int64_t Nearest(long double value) {
  return static_cast<int64_t>(std::nearbyintl(value));
}
}  // namespace

void TBlade::RefreshSelectedSummary() {
  QueueChange(Queue.Selected(), ui::ItemChange::State);
}

void TBlade::TimerTimer() {
  if (NowEncoding.ProcessInfo == nullptr)
    return;
  const std::optional<int> code = NowEncoding.ProcessInfo->ExitCode();
  if (!code)
    return;
  if (*code == platform::kStillActive) {
    if (Pause.Down()) {
      // Paused: the elapsed time blinks.
      ui::StatusPanel& elapsed = AllBar3.Panel(1);
      elapsed.SetStyle(elapsed.Style() == ui::PanelStyle::Text ? ui::PanelStyle::OwnerDraw
                                                               : ui::PanelStyle::Text);
      return;
    }
    ShowProgress();
  } else if (*code == 0) {
    FinishCompleted();
  } else if (*code == platform::kExitTerminated) {
    FinishStopped();
  } else {
    // -1, and any other code: the encoder failed. A batch must not wait for ever on a code
    // nobody expects.
    FinishHalted();
  }
}

void TBlade::ShowProgress() {
  queue::TFileData& entry = *NowEncoding.FileData;
  TotalBar.Panel(1).SetText(DriveFreeSpace(WatchedVolume()).text);
  NowEncoding.LastTick = clock_.GetTickCount();
  BatchLastTick = clock_.GetTickCount();
  const int64_t batch_seconds = platform::TicksBetween(BatchStartTick, BatchLastTick) / 1000;

  BatchDone -= entry.DoneBytes;
  const int64_t size = NowEncoding.OutHandle ? NowEncoding.OutHandle->Size() : -1;
  const encoding::FileProgress progress = encoding::MeasureProgress(
      size, entry, platform::TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick));
  entry.DoneBytes = progress.done_bytes;
  BatchDone += entry.DoneBytes;

  AllBar1.Panel(0).SetText(queue::CountText(NowEncoding.Item->Index() + 1));
  NowEncoding.Item->SetSubItem(0, std::to_string(Nearest(progress.percent)) + "% completed");
  NowEncoding.Item->SetImageIndex(static_cast<int>(progress.percent * 0.04L));
  AllBar3.Panel(1).SetText(encoding::SecondsToTime(batch_seconds));
  AllBar2.Panel(2).SetText(encoding::SpeedText(progress.speed));

  const long double batch_percent = BatchTotal == 0 ? 0 : BatchDone / BatchTotal * 100;
  const int64_t estimate =
      EstimateMode == 0 ? progress.remaining
                        : encoding::RemainingSeconds(
                              platform::TicksBetween(BatchStartTick, BatchLastTick), batch_percent);
  AllBar2.Panel(0).SetText(encoding::SecondsToTime(estimate));
  Completed.SetPosition(static_cast<int>(Nearest(batch_percent)));
  AllBar3.Panel(4).SetText(std::to_string(Nearest(batch_percent)) + "%");

  const std::string title = AllBar3.Panel(4).Text() + " -=- Tolvane";
  if ((AppMinimized == 1 || AppActive == 0) && Application.Title() != title) {
    Application.SetTitle(title);
  }
}

void TBlade::FinishCompleted() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.LastTick = clock_.GetTickCount();
  const auto seconds = static_cast<int32_t>(
      Nearest(platform::TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick) * 0.001L));
  entry.EncodeTime = seconds;
  NowEncoding.Item->SetSubItem(0, "Completed in " + encoding::SecondsToTime(seconds));
  NowEncoding.Item->SetImageIndex(4);
  NowEncoding.OutHandle.reset();
  Timer.SetEnabled(false);
  if (entry.HasTag)
    options::WriteTag(files_, &entry);
  entry.Encoded = true;

  // Encoders before -OUTDIR wrote beside the source: the output moves to the target folder.
  if (!encoding::VersionAtLeast(BEVersion.Caption(), encoding::kOutdirVersion) &&
      !OutputFolder.Text().empty()) {
    const std::string destination =
        paths_.WithTrailingSeparator(OutputFolder.Text()) + paths_.NamePart(NowEncoding.OutName);
    if (files_.FileExists(destination) && destination != NowEncoding.OutName) {
      files_.Delete(destination);
    }
    files_.Move(NowEncoding.OutName, destination);
  }

  if (StartNextJob() == 1) {
    ResetCounters();
    Encode.SetCaption("Reset");
    if (ShutDown.Down()) {
      SettingsIO(SettingsMode::SaveAll);
      power_.PowerOff();
    } else if (CloseProg.Down()) {
      Form.Close();
    }
  }
}

void TBlade::FinishStopped() {
  queue::TFileData& entry = *NowEncoding.FileData;
  NowEncoding.OutHandle.reset();
  Stop.SetCaption("Stop");
  ResetCounters();
  Timer.SetEnabled(false);
  if (DeleteFileButton.Down())
    files_.Delete(NowEncoding.OutName);
  entry.Started = false;
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += platform::TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  RefreshSelectedSummary();
}

void TBlade::FinishHalted() {
  queue::TFileData& entry = *NowEncoding.FileData;
  ResetCounters();
  Timer.SetEnabled(false);
  entry.Started = false;
  dialogs_.MessageBox("BladeEnc halts!", "Error!", ui::MessageIcon::Error, ui::MessageButtons::Ok);
  NowEncoding.Item->SetSubItem(0, queue::status::kQueued);
  NowEncoding.Item->SetImageIndex(0);
  BatchStartTick += platform::TicksBetween(NowEncoding.StartTick, NowEncoding.LastTick);
  RefreshSelectedSummary();
  NowEncoding.OutHandle.reset();
}

}  // namespace tolvane::app
