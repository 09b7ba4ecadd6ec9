#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form.h"

namespace tolvane::ui {

enum class MessageIcon { None, Error, Warning, Question, Information };

// Button sets of a message box, and the answers it returns.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct OpenFileRequest {
  std::string title = "Open";
  // Filter text in the classic form: "Description|pattern;pattern".
  std::string filter;
  std::string initial_folder;
  bool multiple = false;
  // Only existing files and folders may be chosen.
  bool must_exist = true;
};

// Modal dialogs owned by the main window. Texts keep "\r" as their line break; the view shows it
// as a new line.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons) = 0;

  // The chosen files as full paths, in the order given; nullopt when the user cancels.
  virtual std::optional<std::vector<std::string>> OpenFiles(const OpenFileRequest& request) = 0;

  // Shows one of the program's own dialogs until its result is set or the user closes it
  // (which is Cancel), and returns the result. The form's handlers do the dialog's work.
  virtual ModalResult ShowModal(Form& form) = 0;
};

}  // namespace tolvane::ui
