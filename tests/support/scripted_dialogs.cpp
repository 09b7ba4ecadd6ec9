#include "scripted_dialogs.h"

namespace tolvane::testing {

ui::MessageAnswer ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                              ui::MessageIcon icon, ui::MessageButtons buttons) {
  messages_.push_back({text, caption, icon, buttons});
  if (answers_.empty()) {
    const bool yes_no =
        buttons == ui::MessageButtons::YesNo || buttons == ui::MessageButtons::YesNoCancel;
    return yes_no ? ui::MessageAnswer::Yes : ui::MessageAnswer::Ok;
  }
  const ui::MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::vector<std::string>> ScriptedDialogs::OpenFiles(
    const ui::OpenFileRequest& request) {
  file_requests_.push_back(request);
  std::optional<std::vector<std::string>> files;
  if (!files_.empty()) {
    files.swap(files_.front());
    files_.pop_front();
  }
  return files;
}

}  // namespace tolvane::testing
