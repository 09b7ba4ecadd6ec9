#include "option_menus.h"

#include <array>
#include <string>

#include "queue/file_data.h"
#include "queue/names.h"
#include "queue/probe.h"
#include "recent_folders.h"

namespace tolvane::options {

namespace {

// The header bits of the flags menu by position; position 2 is its separator.
bool* FlagAt(queue::TFileData& e, int position) {
  switch (position) {
    case 0:
      return &e.DeleteFlag;
    case 1:
      return &e.CRCFlag;
    case 3:
      return &e.PrivateFlag;
    case 4:
      return &e.CopyrightFlag;
    case 5:
      return &e.CopyFlag;
    default:
      return nullptr;
  }
}

int FlagMask(const queue::TFileData& e) {
  return e.DeleteFlag * 32 + e.CRCFlag * 16 + e.PrivateFlag * 4 + e.CopyrightFlag * 2 + e.CopyFlag;
}

int PositionOf(const ui::MenuItem& item) {
  const ui::PopupMenu& menu = item.Menu();
  for (int i = 0; i < menu.Count(); ++i) {
    if (&menu.Item(i) == &item)
      return i;
  }
  return -1;
}

}  // namespace

OptionMenus::OptionMenus(const Controls& controls, const Defaults& defaults, Followers followers)
    : c_(controls), d_(defaults), followers_(std::move(followers)) {
  for (ui::PopupMenu* menu : {&c_.bitrate_menu, &c_.priority_menu, &c_.bits_menu, &c_.estimate_menu,
                              &c_.tree_menu, &c_.stereo_menu, &c_.recent_menu}) {
    menu->OnPopup = [this](ui::PopupMenu& opening) { Mp3MenuPopup(opening); };
    for (int i = 0; i < menu->Count(); ++i) {
      if (menu->Item(i).Tag() != 0)
        menu->Item(i).OnClick = [this](ui::MenuItem& item) { Mp3MenuClick(item); };
    }
  }
}

bool OptionMenus::SettingsShowing() const {
  return c_.pages.ActivePage() == &c_.settings_page;
}

template <typename Change>
void OptionMenus::ForEachSelected(Change change) {
  for (platform::ListItem* row = c_.queue.Selected(); row != nullptr;
       row = c_.queue.NextSelected(row)) {
    if (queue::TFileData* entry = queue::EntryOf(*row))
      change(*entry);
  }
}

void OptionMenus::CheckByCaption(ui::PopupMenu& menu, const std::string& caption) {
  for (int i = 0; i < menu.Count(); ++i) {
    if (menu.Item(i).Caption() == caption)
      menu.Item(i).SetChecked(true);
  }
}

void OptionMenus::CheckByTag(ui::PopupMenu& menu, int tag) {
  for (int i = 0; i < menu.Count(); ++i) {
    if (menu.Item(i).Tag() == tag)
      menu.Item(i).SetChecked(true);
  }
}

void OptionMenus::Mp3MenuClick(ui::MenuItem& item) {
  const int tag = item.Tag();
  const bool settings = SettingsShowing();
  switch (tag / 1000) {
    case 2: {
      item.SetChecked(true);
      const int kbps = tag % 2000;
      if (settings) {
        c_.bitrate.SetCaption(item.Caption());
        d_.bitrate = kbps;
        return;
      }
      ForEachSelected([kbps](queue::TFileData& e) {
        e.Bitrate = kbps;
        e.RequiredSize = queue::RequiredSizeFor(
            e.FileSize, static_cast<int64_t>(e.Channels) * e.BitsPerSample * e.SampleRate, kbps);
      });
      followers_.update_totals();
      followers_.refresh_selection();
      return;
    }
    case 3:
      item.SetChecked(true);
      if (settings) {
        c_.priority.SetCaption(item.Caption());
        d_.priority = tag % 3000;
        return;
      }
      ForEachSelected([tag](queue::TFileData& e) { e.Priority = tag % 3000; });
      followers_.refresh_selection();
      return;
    case 4: {
      item.SetChecked(!item.Checked());
      const int position = PositionOf(item);
      const bool on = item.Checked();
      ForEachSelected([position, on](queue::TFileData& e) {
        if (bool* flag = FlagAt(e, position))
          *flag = on;
      });
      followers_.refresh_selection();
      return;
    }
    case 5:
      item.SetChecked(true);
      d_.estimate_mode = static_cast<uint8_t>(tag % 5000 - 1);
      c_.selector.SetCaption(queue::EstimateName(d_.estimate_mode));
      return;
    case 6:
      item.SetChecked(true);
      d_.tree_depth = tag % 6000 - 1;
      c_.tree.SetCaption(std::to_string(d_.tree_depth));
      return;
    case 7:
      item.SetChecked(true);
      if (settings) {
        d_.stereo = tag % 7000 - 1;
        c_.stereo.SetCaption(queue::StereoName(d_.stereo));
        return;
      }
      ForEachSelected([tag](queue::TFileData& e) { e.StereoMode = tag % 7000 - 1; });
      followers_.refresh_selection();
      return;
    case 8: {
      // The chosen folder moves to the front; the others keep their order.
      const int chosen = tag - 8000;
      if (chosen < 0 || chosen >= c_.recent_menu.Count())
        return;
      c_.output_folder.SetText(item.Caption());
      MoveToFront(c_.recent_menu, chosen);
      followers_.update_totals();
      return;
    }
    default:
      return;
  }
}

void OptionMenus::Mp3MenuPopup(ui::PopupMenu& menu) {
  if (SettingsShowing()) {
    if (&menu == &c_.tree_menu)
      CheckByCaption(menu, c_.tree.Caption());
    else if (&menu == &c_.bitrate_menu)
      CheckByCaption(menu, c_.bitrate.Caption());
    else if (&menu == &c_.priority_menu)
      CheckByCaption(menu, c_.priority.Caption());
    else if (&menu == &c_.stereo_menu)
      CheckByCaption(menu, c_.stereo.Caption());
    return;
  }
  if (&menu == &c_.estimate_menu) {
    menu.Item(0).SetChecked(d_.estimate_mode == 0);
    return;
  }
  const platform::ListItem* first = c_.queue.Selected();
  const queue::TFileData* entry = first == nullptr ? nullptr : queue::EntryOf(*first);
  if (entry == nullptr)
    return;
  const bool several = c_.queue.SelCount() >= 2;
  // With several entries selected the menus show the defaults, not any one entry's value.
  if (&menu == &c_.bitrate_menu) {
    if (several)
      CheckByTag(menu, d_.bitrate + 2000);
    else
      CheckByCaption(menu, c_.entry_bitrate.Caption());
  } else if (&menu == &c_.priority_menu) {
    if (several)
      CheckByTag(menu, d_.priority + 3000);
    else
      CheckByCaption(menu, c_.entry_priority.Caption());
  } else if (&menu == &c_.stereo_menu) {
    if (several)
      CheckByTag(menu, d_.stereo + 7000);
    else
      CheckByCaption(menu, c_.entry_stereo.Caption());
  } else if (&menu == &c_.bits_menu) {
    // A flag shows checked only when every selected entry has it.
    int mask = 255;
    ForEachSelected([&mask](queue::TFileData& e) { mask &= FlagMask(e); });
    if (!several)
      mask = FlagMask(*entry);
    for (int i = 0; i <= 5 && i < menu.Count(); ++i)
      menu.Item(i).SetChecked(((mask >> (5 - i)) & 1) != 0);
  }
}

}  // namespace tolvane::options
