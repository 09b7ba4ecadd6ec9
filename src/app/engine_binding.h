#pragma once

#include "encoding/engine_display.h"
#include "encoding/engine_host.h"
#include "encoding/engine_prompts.h"
#include "platform/ui/dialogs.h"

namespace tolvane::app {

class TBlade;

// The batch engine as the main window shows it: the toolbar buttons, the status bars, the
// progress bar and the title; its questions and messages in message boxes; its options read
// from the Settings page.
class EngineBinding final : public encoding::EngineDisplay,
                            public encoding::EnginePrompts,
                            public encoding::EngineHost {
 public:
  EngineBinding(TBlade& window, ui::Dialogs& dialogs) : window_(window), dialogs_(dialogs) {}

  void ShowIdle() override;
  void ShowRunning() override;
  void ShowFinished(bool finished) override;
  void ShowStopping(bool stopping) override;
  void ShowStopDeclined() override;
  void ShowProgress(const encoding::ProgressFigures& figures) override;
  void ShowElapsed(const std::string& elapsed) override;
  void ShowElapsedVisible(bool visible) override;
  void ShowTotals(const std::string& count, const std::string& required) override;
  void ShowOutputFolder(const std::string& folder) override;
  void RefreshSelection() override;

  bool OverwriteExisting(const std::string& source_name) override;
  bool SkipShortOfSpace(const std::string& source_name, encoding::SpaceCheck where) override;
  bool ConfirmStop() override;
  bool ConfirmClose() override;
  void Report(encoding::EngineFailure failure, const std::string& source_name) override;

  encoding::EngineOptions Options() override;
  std::string EncoderFile() override;
  void SaveSettings() override;
  void Log(const std::string& line) override;
  void CloseProgram(bool unattended) override;
  std::optional<tags::SongTag> SourceTag(const std::string& path) override;

 private:
  bool AskYesNo(const std::string& text, const std::string& caption, ui::MessageIcon icon);

  TBlade& window_;
  ui::Dialogs& dialogs_;
};

}  // namespace tolvane::app
