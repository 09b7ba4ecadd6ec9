#pragma once

#include <QWidget>
#include <map>

#include "platform/ui/control.h"

namespace tolvane::qt {

// The widgets of a window's controls: one for each control below the window, built once, each
// telling its control where it stands on the screen.
class ControlTree final {
 public:
  // Builds widgets for the children of `root` inside `into`, and below them theirs. A control of a
  // type no view knows is a programming error: std::logic_error.
  void BuildChildren(ui::Control& root, QWidget* into);
  // The widget that shows `control`, or null when it has none.
  QWidget* WidgetFor(const ui::Control& control) const;

 private:
  void Build(ui::Control& control, QWidget* parent);
  void Remember(ui::Control& control, QWidget* widget);

  std::map<const ui::Control*, QWidget*> widgets_;
};

// The font the window was designed with: sizes are in pixels whatever the screen's resolution.
void UseDesignFont(QWidget& window);

}  // namespace tolvane::qt
