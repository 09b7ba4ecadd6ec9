#pragma once

#include <cstdint>
#include <functional>

#include <string>

#include "platform/ui/menu.h"
#include "platform/ui/speed_button.h"
#include "queue/queue.h"
#include "queue/selection.h"
#include "window_defaults.h"

namespace tolvane::options {

// The option menus: bitrate, priority, header bits, estimate, tree depth, stereo mode and the
// recent target folders. One click handler and one open handler serve every item of them; an
// item's tag tells its group (tag div 1000) and value. With the "Settings" page showing, a
// choice sets a default; with the "Files" page showing, it sets the selected entries.
class OptionMenus final {
 public:
  // The menus it serves.
  struct Menus {
    ui::PopupMenu& bitrate;
    ui::PopupMenu& priority;
    ui::PopupMenu& bits;
    ui::PopupMenu& estimate;
    ui::PopupMenu& tree;
    ui::PopupMenu& stereo;
    ui::PopupMenu& recent;
  };
  // What the window tells and asks: whether the "Settings" page shows (a choice then sets a
  // default), the totals after a bitrate or target folder changed, the selection summary after
  // entries changed, and the target folder a recent folder sets.
  struct Followers {
    std::function<bool()> settings_showing;
    std::function<void()> update_totals;
    std::function<void()> refresh_selection;
    std::function<void(const std::string& folder)> set_target;
  };

  // Installs the click and open handlers on every item of the seven menus.
  OptionMenus(const Menus& menus, queue::Queue& queue, const queue::Selection& selection,
              WindowDefaults& defaults, Followers followers);

  void Mp3MenuClick(ui::MenuItem& item);
  void Mp3MenuPopup(ui::PopupMenu& menu);

 private:
  static void CheckByTag(ui::PopupMenu& menu, int tag);
  // Reads each selected entry; changes nothing.
  template <typename Visit>
  void VisitSelected(Visit visit) const;
  // Changes each selected entry, and publishes the change.
  template <typename Change>
  void ForEachSelected(Change change);

  Menus m_;
  queue::Queue& queue_;
  const queue::Selection& selection_;
  WindowDefaults& defaults_;
  Followers followers_;
};

}  // namespace tolvane::options
