#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/application.h"

namespace tolvane::app {

// The program's title in the taskbar while a batch runs: the progress replaces the title saved
// at start only while the program is out of sight (minimised, or not the active program); the
// saved title comes back when it is restored or activated, and when the batch is idle.
class ProgramTitle final {
 public:
  explicit ProgramTitle(ui::Application& application) : application_(application) {}
  ProgramTitle(const ProgramTitle&) = delete;
  ProgramTitle& operator=(const ProgramTitle&) = delete;

  // Saves the title shown now and follows the program's minimise, restore, activate and
  // deactivate from here on.
  void Install();
  // The saved title again.
  void ShowSaved();
  // `text` as the title, while the program is out of sight.
  void ShowProgress(const std::string& text);
  // What the taskbar shows: the title while a progress title replaces the saved one, otherwise
  // the window's `caption`.
  std::string TaskbarTitle(const std::string& caption) const;

  const std::string& SavedTitle() const { return saved_title_; }
  bool Active() const { return app_active_ == 1; }

 private:
  ui::Application& application_;
  std::string saved_title_;
  uint8_t app_minimized_ = 0;
  uint8_t app_active_ = 0;
};

}  // namespace tolvane::app
