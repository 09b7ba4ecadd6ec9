#pragma once

#include "platform/ui/menu.h"

namespace tolvane::qt {

// Shows a PopupMenu as a Qt menu whenever the program asks for it, and turns the user's choice
// into the item's click.
class MenuView final {
 public:
  explicit MenuView(ui::PopupMenu& menu);

 private:
  void Show(ui::Point at);
  ui::PopupMenu& menu_;
  platform::Subscription popup_;
};

}  // namespace tolvane::qt
