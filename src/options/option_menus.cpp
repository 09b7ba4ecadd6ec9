#include "option_menus.h"

#include <array>
#include <string>

#include "menu_tags.h"
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
    case menu_tag::MenuOf(menu_tag::kPriority):
      return &e.PrivateFlag;
    case 4:
      return &e.CopyrightFlag;
    case menu_tag::MenuOf(menu_tag::kEstimate):
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

OptionMenus::OptionMenus(const Menus& menus, queue::Queue& queue, const queue::Selection& selection,
                         WindowDefaults& defaults, Followers followers)
    : m_(menus),
      queue_(queue),
      selection_(selection),
      defaults_(defaults),
      followers_(std::move(followers)) {
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
  for (const queue::TFileData* entry : selection_.SelectedEntries())
    visit(*entry);
}

template <typename Change>
void OptionMenus::ForEachSelected(Change change) {
  for (queue::TFileData* entry : selection_.SelectedEntries()) {
    change(*entry);
    queue_.OptionsChanged(*entry);
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
  switch (menu_tag::MenuOf(tag)) {
    case menu_tag::MenuOf(menu_tag::kBitrate): {
      item.SetChecked(true);
      const int kbps = tag - menu_tag::kBitrate;
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
        defaults_.Set(&WindowDefaults::priority, tag - menu_tag::kPriority);
        return;
      }
      ForEachSelected([tag](queue::TFileData& e) { e.Priority = tag - menu_tag::kPriority; });
      followers_.refresh_selection();
      return;
    case menu_tag::MenuOf(menu_tag::kHeaderBits): {
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
      defaults_.Set(&WindowDefaults::estimate_mode,
                    static_cast<uint8_t>(tag - menu_tag::kEstimate));
      return;
    case menu_tag::MenuOf(menu_tag::kTree):
      item.SetChecked(true);
      defaults_.Set(&WindowDefaults::tree_depth, tag - menu_tag::kTree);
      return;
    case menu_tag::MenuOf(menu_tag::kStereo):
      item.SetChecked(true);
      if (settings) {
        defaults_.Set(&WindowDefaults::stereo, tag - menu_tag::kStereo);
        return;
      }
      ForEachSelected([tag](queue::TFileData& e) { e.StereoMode = tag - menu_tag::kStereo; });
      followers_.refresh_selection();
      return;
    case menu_tag::MenuOf(menu_tag::kRecent): {
      // The chosen folder moves to the front; the others keep their order.
      const int chosen = tag - menu_tag::kRecent;
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
      CheckByTag(menu, menu_tag::kTree + defaults_.tree_depth);
    else if (&menu == &m_.bitrate)
      CheckByTag(menu, menu_tag::kBitrate + defaults_.bitrate);
    else if (&menu == &m_.priority)
      CheckByTag(menu, menu_tag::kPriority + defaults_.priority);
    else if (&menu == &m_.stereo)
      CheckByTag(menu, menu_tag::kStereo + defaults_.stereo);
    return;
  }
  if (&menu == &m_.estimate) {
    menu.Item(0).SetChecked(defaults_.estimate_mode == 0);
    return;
  }
  const std::vector<queue::TFileData*> selected = selection_.SelectedEntries();
  if (selected.empty())
    return;
  const queue::TFileData* entry = selected.front();
  const bool several = selected.size() >= 2;
  // With several entries selected the menus show the defaults, not any one entry's value.
  if (&menu == &m_.bitrate) {
    CheckByTag(menu, menu_tag::kBitrate + (several ? defaults_.bitrate : entry->Bitrate));
  } else if (&menu == &m_.priority) {
    CheckByTag(menu, menu_tag::kPriority + (several ? defaults_.priority : entry->Priority));
  } else if (&menu == &m_.stereo) {
    CheckByTag(menu, menu_tag::kStereo + (several ? defaults_.stereo : entry->StereoMode));
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
