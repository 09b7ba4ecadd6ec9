#pragma once

#include <cstdint>
#include <functional>

#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "platform/ui/page_control.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"

namespace tolvane::options {

// The option menus: bitrate, priority, header bits, estimate, tree depth, stereo mode and the
// recent target folders. One click handler and one open handler serve every item of them; an
// item's tag tells its group (tag div 1000) and value. With the "Settings" page showing, a
// choice sets a default; with the "Files" page showing, it sets the selected entries.
class OptionMenus final {
 public:
  // The controls the menus read and write.
  struct Controls {
    ui::PageControl& pages;
    ui::TabSheet& settings_page;
    ui::ListView& queue;
    ui::PopupMenu& bitrate_menu;
    ui::PopupMenu& priority_menu;
    ui::PopupMenu& bits_menu;
    ui::PopupMenu& estimate_menu;
    ui::PopupMenu& tree_menu;
    ui::PopupMenu& stereo_menu;
    ui::PopupMenu& recent_menu;
    ui::SpeedButton& bitrate;  // the defaults' buttons on the "Settings" page
    ui::SpeedButton& priority;
    ui::SpeedButton& stereo;
    ui::SpeedButton& tree;
    ui::SpeedButton& selector;       // the estimate mode, at the bottom of the window
    ui::SpeedButton& entry_bitrate;  // the selection's buttons on the "Files" page
    ui::SpeedButton& entry_priority;
    ui::SpeedButton& entry_stereo;
    ui::Edit& output_folder;
  };
  // The defaults the window keeps (and the settings store saves).
  struct Defaults {
    int32_t& bitrate;
    int32_t& priority;
    int32_t& stereo;
    int32_t& tree_depth;
    uint8_t& estimate_mode;
  };
  // What a change asks of the rest of the window: the totals after a bitrate or target folder
  // changed, and the selection summary after entries changed.
  struct Followers {
    std::function<void()> update_totals;
    std::function<void()> refresh_selection;
  };

  // Installs the click and open handlers on every item of the seven menus.
  OptionMenus(const Controls& controls, const Defaults& defaults, Followers followers);

  void Mp3MenuClick(ui::MenuItem& item);
  void Mp3MenuPopup(ui::PopupMenu& menu);

 private:
  bool SettingsShowing() const;
  // Checks the items whose caption equals `caption`; others keep their mark when none matches.
  static void CheckByCaption(ui::PopupMenu& menu, const std::string& caption);
  static void CheckByTag(ui::PopupMenu& menu, int tag);
  template <typename Change>
  void ForEachSelected(Change change);

  Controls c_;
  Defaults d_;
  Followers followers_;
};

}  // namespace tolvane::options
