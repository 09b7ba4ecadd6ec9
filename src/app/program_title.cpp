#include "program_title.h"

namespace tolvane::app {

void ProgramTitle::Install() {
  application_.OnMinimize = [this] { app_minimized_ = 1; };
  application_.OnRestore = [this] {
    app_minimized_ = 0;
    ShowSaved();
  };
  application_.OnDeactivate = [this] { app_active_ = 0; };
  application_.OnActivate = [this] {
    app_active_ = 1;
    ShowSaved();
  };
  app_minimized_ = 0;
  saved_title_ = application_.Title();
}

void ProgramTitle::ShowSaved() {
  application_.SetTitle(saved_title_);
}

void ProgramTitle::ShowProgress(const std::string& text) {
  if ((app_minimized_ == 1 || app_active_ == 0) && application_.Title() != text)
    application_.SetTitle(text);
}

std::string ProgramTitle::TaskbarTitle(const std::string& caption) const {
  if (!saved_title_.empty() && application_.Title() != saved_title_)
    return application_.Title();
  return caption;
}

}  // namespace tolvane::app
