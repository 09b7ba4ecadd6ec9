#pragma once

#include <deque>
#include <functional>
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

// One of the program's own dialogs as it was shown: its caption and where it stood.
struct ShownForm {
  std::string caption;
  ui::Rect bounds;
};

// Dialogs answered from a script. Every message box is recorded; an unscripted message box is
// answered with its first button (OK or Yes), an unscripted file dialog is cancelled. The
// program's own dialogs are worked by a script acting on their controls as the user would; one
// the script leaves open (or an unscripted one) is closed, which is Cancel.
class ScriptedDialogs final : public ui::Dialogs {
 public:
  void AnswerNext(ui::MessageAnswer answer) { answers_.push_back(answer); }
  void ChooseFilesNext(std::optional<std::vector<std::string>> files) {
    files_.push_back(std::move(files));
  }

  void ActInNextForm(std::function<void(ui::Form&)> script) { forms_.push_back(std::move(script)); }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<ShownForm>& Forms() const { return shown_forms_; }
  const std::vector<ui::OpenFileRequest>& FileRequests() const { return file_requests_; }

  ui::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::vector<std::string>> OpenFiles(const ui::OpenFileRequest& request) override;
  ui::ModalResult ShowModal(ui::Form& form) override;

 private:
  std::deque<ui::MessageAnswer> answers_;
  std::deque<std::optional<std::vector<std::string>>> files_;
  std::deque<std::function<void(ui::Form&)>> forms_;
  std::vector<ShownMessage> messages_;
  std::vector<ShownForm> shown_forms_;
  std::vector<ui::OpenFileRequest> file_requests_;
};

}  // namespace tolvane::testing
