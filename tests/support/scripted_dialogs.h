#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialogs.h"

namespace tolvane::testing {

// A message box as the user saw it.
struct ShownMessage {
  std::string text;
  std::string caption;
  ui::MessageIcon icon;
  ui::MessageButtons buttons;
};

// Dialogs answered from a script. Every message box is recorded; an unscripted message box is
// answered with its first button (OK or Yes), an unscripted file dialog is cancelled.
class ScriptedDialogs final : public ui::Dialogs {
 public:
  void AnswerNext(ui::MessageAnswer answer) { answers_.push_back(answer); }
  void ChooseFilesNext(std::optional<std::vector<std::string>> files) {
    files_.push_back(std::move(files));
  }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<ui::OpenFileRequest>& FileRequests() const { return file_requests_; }

  ui::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::vector<std::string>> OpenFiles(const ui::OpenFileRequest& request) override;

 private:
  std::deque<ui::MessageAnswer> answers_;
  std::deque<std::optional<std::vector<std::string>>> files_;
  std::vector<ShownMessage> messages_;
  std::vector<ui::OpenFileRequest> file_requests_;
};

}  // namespace tolvane::testing
