#include "engine_binding.h"

#include <iostream>

#include "encoding/job_text.h"
#include "main_window.h"
#include "sources/source_tags.h"

namespace tolvane::app {

using encoding::EngineFailure;

void EngineBinding::ShowIdle() {
  TBlade& w = window_;
  w.Encode.SetAllowAllUp(true);
  w.Encode.SetDown(false);
  w.Stop.SetAllowAllUp(true);
  w.Stop.SetDown(false);
  w.Encode.SetAllowAllUp(false);
  w.Stop.SetAllowAllUp(false);
  w.Encode.SetEnabled(true);
  w.Stop.SetEnabled(false);
  w.Pause.SetEnabled(false);
  w.Pause.SetDown(false);
  w.AllBar1.Panel(panel::kRunningNumber).SetText("000");
  w.AllBar2.Panel(panel::kTimeLeft).SetText("00:00:00");
  w.AllBar2.Panel(panel::kSpeed).SetText("0.00x");
  w.AllBar3.Panel(panel::kBatchPercent).SetText("0%");
  w.Completed.SetPosition(0);
  w.Title().ShowSaved();
}

void EngineBinding::ShowRunning() {
  window_.Encode.SetEnabled(false);
  window_.Stop.SetEnabled(true);
  window_.Pause.SetEnabled(true);
}

void EngineBinding::ShowFinished(bool finished) {
  window_.Encode.SetCaption(finished ? "Reset" : "Encode");
}

void EngineBinding::ShowStopping(bool stopping) {
  window_.Stop.SetCaption(stopping ? "Stoping..." : "Stop");
}

void EngineBinding::ShowStopDeclined() {
  window_.Encode.SetDown(true);
}

void EngineBinding::ShowProgress(const encoding::ProgressFigures& figures) {
  TBlade& w = window_;
  w.TotalBar.Panel(panel::kFreeSpace).SetText(figures.free_space);
  w.AllBar1.Panel(panel::kRunningNumber).SetText(figures.running_number);
  w.AllBar3.Panel(panel::kElapsed).SetText(figures.elapsed);
  w.AllBar2.Panel(panel::kSpeed).SetText(figures.speed);
  w.AllBar2.Panel(panel::kTimeLeft).SetText(figures.estimate);
  w.Completed.SetPosition(figures.batch_percent);
  w.AllBar3.Panel(panel::kBatchPercent).SetText(std::to_string(figures.batch_percent) + "%");
  // The taskbar shows the progress only while the window is out of sight.
  w.Title().ShowProgress(w.AllBar3.Panel(panel::kBatchPercent).Text() + " -=- Tolvane");
}

void EngineBinding::ShowElapsed(const std::string& elapsed) {
  window_.AllBar3.Panel(panel::kElapsed).SetText(elapsed);
}

void EngineBinding::ShowElapsedVisible(bool visible) {
  // An owner-drawn panel that nobody draws shows nothing.
  window_.AllBar3.Panel(panel::kElapsed)
      .SetStyle(visible ? ui::PanelStyle::Text : ui::PanelStyle::OwnerDraw);
}

void EngineBinding::ShowTotals(const std::string& count, const std::string& required) {
  window_.AllBar1.Panel(panel::kCount).SetText(count);
  window_.TotalBar.Panel(panel::kRequired).SetText(required);
}

void EngineBinding::ShowOutputFolder(const std::string& folder) {
  window_.OutputFolder.SetText(folder);
}

void EngineBinding::RefreshSelection() {
  window_.RefreshSummary();
}

bool EngineBinding::AskYesNo(const std::string& text, const std::string& caption,
                             ui::MessageIcon icon) {
  return dialogs_.MessageBox(text, caption, icon, ui::MessageButtons::YesNo) ==
         ui::MessageAnswer::Yes;
}

bool EngineBinding::OverwriteExisting(const std::string& source_name) {
  return AskYesNo("File " + source_name + " is already compressed.\rOverwrite?", "Warning!",
                  ui::MessageIcon::Warning);
}

bool EngineBinding::SkipShortOfSpace(const std::string& source_name, encoding::SpaceCheck where) {
  const std::string place =
      where == encoding::SpaceCheck::Source ? "for encoding file\r" : "in target folder for file\r";
  return AskYesNo(
      "Probably there are not enough free space " + place + source_name + "\rSkip this file?",
      "Warning!", ui::MessageIcon::Warning);
}

bool EngineBinding::ConfirmStop() {
  return AskYesNo("Task is not completed.\rAre you sure to lose changes?", "Warning",
                  ui::MessageIcon::Question);
}

bool EngineBinding::ConfirmClose() {
  return AskYesNo("Encoding is not completed.\rAre you sure to lose changes?", "Warning",
                  ui::MessageIcon::Question);
}

void EngineBinding::Report(EngineFailure failure, const std::string& source_name) {
  std::string text;
  std::string caption = "Error";
  ui::MessageIcon icon = ui::MessageIcon::Error;
  switch (failure) {
    case EngineFailure::EncoderNotFound:
      text = "BladeEnc not found. Check its path!";
      break;
    case EngineFailure::InputNotFound:
      text =
          "Input file not found.\r\rHandle for this situation\ris still not completed.\rRemove "
          "this file from queue.";
      break;
    case EngineFailure::OutputFolderNotCreated:
      text = "Can't create output folder.";
      caption = "Error!";
      break;
    case EngineFailure::OutputNotCreated:
      text = "Can't create the MP3 file of " + source_name + ".";
      caption = "Error!";
      break;
    case EngineFailure::CommandLineTooLong:
      text = "The command line for " + source_name + " is longer than " +
             std::to_string(encoding::kMaxCommandLine) + " characters.\rUse a shorter path.";
      break;
    case EngineFailure::CannotStart:
      text = "Fatal error!";
      break;
    case EngineFailure::EncoderHalted:
      text = "BladeEnc halts!";
      caption = "Error!";
      break;
    case EngineFailure::SourceIsOwnOutput:
      text = "File " + source_name + " would be replaced by its own MP3.\rIt was skipped.";
      break;
    case EngineFailure::NothingToDo:
      text = "Nothing to do!";
      caption = "Warning";
      icon = ui::MessageIcon::Warning;
      break;
  }
  dialogs_.MessageBox(text, caption, icon, ui::MessageButtons::Ok);
}

encoding::EngineOptions EngineBinding::Options() {
  const TBlade& w = window_;
  encoding::EngineOptions options;
  options.version_label = w.BEVersion.Caption();
  options.output_folder = w.OutputFolder.Text();
  options.tree_depth = w.DefaultValues().tree_depth;
  options.check_overwrite = !w.OffOverWrite.Down();
  options.check_space = !w.OffSpace.Down();
  options.delete_partial = w.DeleteFileButton.Down();
  options.show_console = w.DefaultValues().show_encoder_console != 0;
  options.estimate_batch = w.DefaultValues().estimate_mode != 0;
  options.watched_volume = w.Target().WatchedVolume();
  using OnEnd = encoding::EngineOptions::OnEnd;
  options.on_end = w.ShutDown.Down()    ? OnEnd::PowerOff
                   : w.CloseProg.Down() ? OnEnd::Close
                                        : OnEnd::Nothing;
  return options;
}

std::string EngineBinding::EncoderFile() {
  return window_.EncoderFile();
}

void EngineBinding::SaveSettings() {
  window_.SettingsIO(TBlade::SettingsMode::SaveAll);
}

void EngineBinding::Log(const std::string& line) {
  std::cerr << "tolvane: " << line << std::endl;
}

std::optional<tags::SongTag> EngineBinding::SourceTag(const std::string& path) {
  return sources::ReadSourceTags(path);
}

void EngineBinding::CloseProgram(bool unattended) {
  if (unattended) {
    window_.CloseUnattended();
  } else {
    window_.Form.Close();
  }
}

}  // namespace tolvane::app
