#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control_tree.h"
#include "menu_view.h"
#include "platform/timer.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/menu.h"
#include "timer_driver.h"

namespace tolvane::qt {

// The top-level window of a Form, with a widget for every control below it. It reports moves
// to the form (which may snap them), minimising and activation to the application, and close
// requests to the form.
class FormView final : public QWidget {
 public:
  FormView(ui::Form& form, ui::Application& application, std::function<std::string()> title);

  // The widget that shows `control`, or null when it has none.
  QWidget* WidgetFor(const ui::Control& control) const;

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Sync();
  // The frame's extents as the window system knows them now, into the form.
  void ReadFrame();
  void SyncTitle();

  ui::Form& form_;
  ui::Application& application_;
  std::function<std::string()> title_;
  ControlTree controls_;
  std::vector<platform::Subscription> subscriptions_;
  bool moving_ = false;
  bool closing_ = false;
};

// Everything that shows one window: the form, its menus and its timers.
struct WindowParts {
  ui::Form& form;
  ui::Application& application;
  std::function<std::string()> title;
  std::vector<ui::PopupMenu*> menus;
  std::vector<platform::Timer*> timers;
};

class WindowView final {
 public:
  explicit WindowView(const WindowParts& parts);
  FormView& Form() { return form_; }

 private:
  FormView form_;
  std::vector<std::unique_ptr<MenuView>> menus_;
  std::vector<std::unique_ptr<TimerDriver>> timers_;
};

}  // namespace tolvane::qt
