#pragma once

#include "platform/event_loop.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/work_area.h"

// The Qt implementations of the small services the logic asks of the desktop.
namespace tolvane::qt {

class QtEventLoop final : public platform::EventLoop {
 public:
  void ProcessMessages() override;
  void WaitForMessages(unsigned max_ms) override;
  void Post(std::function<void()> task) override;
  platform::Subscription WatchReadable(int fd, std::function<void()> on_ready) override;
};

// The available geometry of the primary screen.
class QtWorkArea final : public ui::WorkArea {
 public:
  ui::Rect Get() const override;
};

// Message boxes and file dialogs, modal to the active window.
class QtDialogs final : public ui::Dialogs {
 public:
  // The program is closing without anyone to answer (a signal, the end of the session): the
  // open boxes and dialogs close as if cancelled (a question answers No, a file dialog chooses
  // nothing), and later ones are answered so without being shown.
  void CloseAll();

  ui::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::vector<std::string>> OpenFiles(const ui::OpenFileRequest& request) override;
  ui::ModalResult ShowModal(ui::Form& form) override;

 private:
  bool closing_ = false;
};

}  // namespace tolvane::qt
