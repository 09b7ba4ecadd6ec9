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

// Dialogs answered from a script, strictly: a dialog of any kind that nobody scripted fails the
// test, and so does an answer left unused when the dialogs go. So that the test can go on, an
// unscripted message box is answered with its first button (OK or Yes), and an unscripted file
// dialog or form is cancelled. Every dialog is recorded. The program's own dialogs are worked by
// a script acting on their controls as the user would; one the script leaves open is closed,
// which is Cancel.
class ScriptedDialogs final : public ui::Dialogs {
 public:
  ScriptedDialogs() = default;
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // The next message box gets `answer`; while it is open, `meanwhile` runs: what reaches the
  // program from its loop while a modal box waits (a file handed over, a signal, a click).
  void AnswerNext(ui::MessageAnswer answer, std::function<void()> meanwhile = {}) {
    answers_.push_back({answer, std::move(meanwhile)});
  }
  // The next file dialog chooses `files`; none is Cancel.
  void ChooseFilesNext(std::optional<std::vector<std::string>> files) {
    files_.push_back(std::move(files));
  }

  // The next form is worked by `script`; an empty script cancels it.
  void ActInNextForm(std::function<void(ui::Form&)> script) { forms_.push_back(std::move(script)); }
  void CancelNextForm() {
    forms_.push_back([](ui::Form&) {});
  }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<ShownForm>& Forms() const { return shown_forms_; }
  const std::vector<ui::OpenFileRequest>& FileRequests() const { return file_requests_; }

  ui::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::vector<std::string>> OpenFiles(const ui::OpenFileRequest& request) override;
  ui::ModalResult ShowModal(ui::Form& form) override;

 private:
  struct Answer {
    ui::MessageAnswer answer;
    std::function<void()> meanwhile;
  };
  std::deque<Answer> answers_;
  std::deque<std::optional<std::vector<std::string>>> files_;
  std::deque<std::function<void(ui::Form&)>> forms_;
  std::vector<ShownMessage> messages_;
  std::vector<ShownForm> shown_forms_;
  std::vector<ui::OpenFileRequest> file_requests_;
};

}  // namespace tolvane::testing
