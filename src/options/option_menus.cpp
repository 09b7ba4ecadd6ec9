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

OptionMenus::OptionMenus(const Menus& menus, queue::Queue& queue, WindowDefaults& defaults,
                         Followers followers)
    : m_(menus), queue_(queue), defaults_(defaults), followers_(std::move(followers)) {
  for (ui::PopupMenu* menu :
       {&m_.bitrate, &m_.priority, &m_.bits, &m_.estimate, &m_.tree, &m_.stereo, &m_.recent}) {
    menu->OnPopup = [this](ui::PopupMenu& opening) { Mp3MenuPopup(opening); };
    for (int i = 0; i < menu->Count(); ++i) {
      if (menu->Item(i).Tag() != 0)
        menu->Item(i).OnClick = [this](ui::MenuItem& item) { Mp3MenuClick(item); };
    }
  }
}

template <typename Visit>
void OptionMenus::VisitSelected(Visit visit) const {
  const platform::RowList& rows = queue_.Rows();
  for (const platform::ListItem* row = rows.Selected(); row != nullptr;
       row = rows.NextSelected(row)) {
    if (const queue::TFileData* entry = queue::EntryOf(*row))
      visit(*entry);
  }
}

template <typename Change>
void OptionMenus::ForEachSelected(Change change) {
  platform::RowList& rows = queue_.Rows();
  for (platform::ListItem* row = rows.Selected(); row != nullptr; row = rows.NextSelected(row)) {
    if (queue::TFileData* entry = queue::EntryOf(*row)) {
      change(*entry);
      queue_.OptionsChanged(*entry);
    }
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
  const bool settings = followers_.settings_showing();
  switch (tag / 1000) {
    case 2: {
      item.SetChecked(true);
      const int kbps = tag % 2000;
      if (settings) {
        defaults_.Set(&WindowDefaults::bitrate, kbps);
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
        defaults_.Set(&WindowDefaults::priority, tag % 3000);
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
      defaults_.Set(&WindowDefaults::estimate_mode, static_cast<uint8_t>(tag % 5000 - 1));
      return;
    case 6:
      item.SetChecked(true);
      defaults_.Set(&WindowDefaults::tree_depth, tag % 6000 - 1);
      return;
    case 7:
      item.SetChecked(true);
      if (settings) {
        defaults_.Set(&WindowDefaults::stereo, tag % 7000 - 1);
        return;
      }
      ForEachSelected([tag](queue::TFileData& e) { e.StereoMode = tag % 7000 - 1; });
      followers_.refresh_selection();
      return;
    case 8: {
      // The chosen folder moves to the front; the others keep their order.
      const int chosen = tag - 8000;
      if (chosen < 0 || chosen >= m_.recent.Count())
        return;
      followers_.set_target(item.Caption());
      MoveToFront(m_.recent, chosen);
      followers_.update_totals();
      return;
    }
    default:
      return;
  }
}

void OptionMenus::Mp3MenuPopup(ui::PopupMenu& menu) {
  if (followers_.settings_showing()) {
    // The item of each default, as its button shows it.
    if (&menu == &m_.tree)
      CheckByTag(menu, defaults_.tree_depth + 6001);
    else if (&menu == &m_.bitrate)
      CheckByTag(menu, defaults_.bitrate + 2000);
    else if (&menu == &m_.priority)
      CheckByTag(menu, defaults_.priority + 3000);
    else if (&menu == &m_.stereo)
      CheckByTag(menu, defaults_.stereo + 7001);
    return;
  }
  if (&menu == &m_.estimate) {
    menu.Item(0).SetChecked(defaults_.estimate_mode == 0);
    return;
  }
  const platform::ListItem* first = queue_.Rows().Selected();
  const queue::TFileData* entry = first == nullptr ? nullptr : queue::EntryOf(*first);
  if (entry == nullptr)
    return;
  const bool several = queue_.Rows().SelCount() >= 2;
  // With several entries selected the menus show the defaults, not any one entry's value.
  if (&menu == &m_.bitrate) {
    CheckByTag(menu, (several ? defaults_.bitrate : entry->Bitrate) + 2000);
  } else if (&menu == &m_.priority) {
    CheckByTag(menu, (several ? defaults_.priority : entry->Priority) + 3000);
  } else if (&menu == &m_.stereo) {
    CheckByTag(menu, (several ? defaults_.stereo : entry->StereoMode) + 7001);
  } else if (&menu == &m_.bits) {
    // A flag shows checked only when every selected entry has it.
    int mask = 255;
    VisitSelected([&mask](const queue::TFileData& e) { mask &= FlagMask(e); });
    if (!several)
      mask = FlagMask(*entry);
    for (int i = 0; i <= 5 && i < menu.Count(); ++i)
      menu.Item(i).SetChecked(((mask >> (5 - i)) & 1) != 0);
  }
}

}  // namespace tolvane::options
