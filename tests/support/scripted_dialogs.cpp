#include "scripted_dialogs.h"

#include <gtest/gtest.h>

namespace tolvane::testing {

ScriptedDialogs::~ScriptedDialogs() {
  for (const Answer& answer : answers_)
    ADD_FAILURE() << "a scripted message box answer was left unused ("
                  << static_cast<int>(answer.answer) << ")";
  if (!files_.empty())
    ADD_FAILURE() << files_.size() << " scripted file dialog answer(s) left unused";
  if (!forms_.empty())
    ADD_FAILURE() << forms_.size() << " scripted form(s) left unshown";
}

ui::MessageAnswer ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                              ui::MessageIcon icon, ui::MessageButtons buttons) {
  messages_.push_back({text, caption, icon, buttons});
  if (answers_.empty()) {
    ADD_FAILURE() << "a message box nobody scripted: \"" << text << "\" (" << caption << ")";
    const bool yes_no =
        buttons == ui::MessageButtons::YesNo || buttons == ui::MessageButtons::YesNoCancel;
    return yes_no ? ui::MessageAnswer::Yes : ui::MessageAnswer::Ok;
  }
  const Answer answer = std::move(answers_.front());
  answers_.pop_front();
  if (answer.meanwhile)
    answer.meanwhile();
  return answer.answer;
}

std::optional<std::vector<std::string>> ScriptedDialogs::OpenFiles(
    const ui::OpenFileRequest& request) {
  file_requests_.push_back(request);
  if (files_.empty()) {
    ADD_FAILURE() << "a file dialog nobody scripted: \"" << request.title << "\"";
    return std::nullopt;
  }
  std::optional<std::vector<std::string>> files;
  files.swap(files_.front());
  files_.pop_front();
  return files;
}

ui::ModalResult ScriptedDialogs::ShowModal(ui::Form& form) {
  shown_forms_.push_back({form.Caption(), form.Bounds()});
  form.SetModalResult(ui::ModalResult::None);
  if (forms_.empty()) {
    ADD_FAILURE() << "a form nobody scripted: \"" << form.Caption() << "\"";
  } else {
    const std::function<void(ui::Form&)> script = std::move(forms_.front());
    forms_.pop_front();
    script(form);
  }
  if (form.GetModalResult() == ui::ModalResult::None)
    form.SetModalResult(ui::ModalResult::Cancel);
  return form.GetModalResult();
}

}  // namespace tolvane::testing
