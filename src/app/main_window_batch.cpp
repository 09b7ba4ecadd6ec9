// Batch control: Encode, Stop, Pause, Bye and the close question.
#include "main_window.h"

namespace tolvane::app {

namespace {
// How long a close waits for the stopped encoder's last tick.
constexpr uint32_t kCloseWaitMs = 10'000;
}  // namespace

void TBlade::ResetCounters() {
  Encode.SetAllowAllUp(true);
  Encode.SetDown(false);
  Stop.SetAllowAllUp(true);
  Stop.SetDown(false);
  Encode.SetAllowAllUp(false);
  Stop.SetAllowAllUp(false);
  Encode.SetEnabled(true);
  Stop.SetEnabled(false);
  Pause.SetEnabled(false);
  Pause.SetDown(false);
  AllBar1.Panel(0).SetText("000");
  AllBar2.Panel(0).SetText("00:00:00");
  AllBar2.Panel(2).SetText("0.00x");
  AllBar3.Panel(4).SetText("0%");
  Completed.SetPosition(0);
  Application.SetTitle(SavedTitle);
}

void TBlade::EncodeClick() {
  if (!Encode.Enabled())
    return;
  if (Encode.Caption() != "Reset") {
    const int result = StartNextJob();
    if (result == 0) {
      BatchStartTick = clock_.GetTickCount() - (BatchLastTick - BatchStartTick);
    } else if (result == 1) {
      dialogs_.MessageBox("Nothing to do!", "Warning", ui::MessageIcon::Warning,
                          ui::MessageButtons::Ok);
      Timer.SetEnabled(false);
      ResetCounters();
    }
    return;
  }
  for (int i = 0; i < Queue.Count(); ++i) {
    ui::ListItem& row = Queue.Item(i);
    row.SetSubItem(0, queue::status::kQueued);
    row.SetImageIndex(0);
    if (queue::TFileData* entry = queue::EntryOf(row)) {
      entry->DoneBytes = 0;
      entry->Started = false;
    }
  }
  BatchStartTick = 0;
  BatchLastTick = 0;
  AllBar3.Panel(1).SetText("00:00:00");
  UpdateTotals();
  RefreshSelectedSummary();
  Encode.SetCaption("Encode");
  ResetCounters();
}

void TBlade::StopClick() {
  const ui::MessageAnswer answer =
      dialogs_.MessageBox("Task is not completed.\rAre you sure to lose changes?", "Warning",
                          ui::MessageIcon::Question, ui::MessageButtons::YesNo);
  if (answer == ui::MessageAnswer::Yes) {
    if (NowEncoding.ProcessInfo)
      NowEncoding.ProcessInfo->Terminate(platform::kExitTerminated);
    Stop.SetCaption("Stoping...");
  } else {
    Encode.SetDown(true);
  }
}

void TBlade::PauseClick() {
  if (Pause.Down()) {
    if (NowEncoding.ProcessInfo)
      NowEncoding.ProcessInfo->Suspend();
    PauseTick = clock_.GetTickCount();
    return;
  }
  if (NowEncoding.ProcessInfo)
    NowEncoding.ProcessInfo->Resume();
  const uint32_t paused = platform::TicksBetween(PauseTick, clock_.GetTickCount());
  PauseTick = paused;
  NowEncoding.StartTick += paused;
  BatchStartTick += paused;
  AllBar3.Panel(1).SetStyle(ui::PanelStyle::Text);
}

void TBlade::ByeClick() {
  Form.Close();
}

void TBlade::CloseUnattended() {
  unattended_close_ = true;
  Form.Close();
}

bool TBlade::FormCloseQuery() {
  if (Encode.Enabled())
    return true;
  // Nobody is there to answer a close by a signal: stopping the encoder loses nothing but the
  // file in progress, which goes back to the queue.
  const bool yes = unattended_close_ ||
                   dialogs_.MessageBox("Encoding is not completed.\rAre you sure to lose changes?",
                                       "Warning", ui::MessageIcon::Question,
                                       ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
  unattended_close_ = false;
  if (!yes) {
    Encode.SetDown(true);
    return false;
  }
  if (NowEncoding.ProcessInfo)
    NowEncoding.ProcessInfo->Terminate(platform::kExitTerminated);
  Stop.SetCaption("Stoping...");
  SettingsIO(SettingsMode::SaveAll);
  // The next tick ends the job; the wait is bounded, as the child was killed.
  const uint32_t start = clock_.GetTickCount();
  while (Timer.Enabled() && platform::TicksBetween(start, clock_.GetTickCount()) < kCloseWaitMs) {
    Application.WaitForMessages(250);
  }
  return true;
}

}  // namespace tolvane::app
