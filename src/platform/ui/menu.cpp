#include "menu.h"

#include <algorithm>

namespace tolvane::ui {

MenuItem::MenuItem(PopupMenu& menu, std::string name, std::string caption, int tag)
    : menu_(menu), name_(std::move(name)), caption_(std::move(caption)), tag_(tag) {}

int MenuItem::Index() const {
  for (int i = 0; i < menu_.Count(); ++i) {
    if (&menu_.Item(i) == this)
      return i;
  }
  return -1;
}

void MenuItem::SetCaption(std::string caption) {
  if (caption == caption_)
    return;
  caption_ = std::move(caption);
  menu_.Changed.Emit();
}

void MenuItem::SetChecked(bool checked) {
  if (checked && radio_item_) {
    for (const auto& other : menu_.items_) {
      if (other.get() != this && other->radio_item_ && other->group_index_ == group_index_) {
        other->checked_ = false;
      }
    }
  }
  checked_ = checked;
  menu_.Changed.Emit();
}

void MenuItem::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  menu_.Changed.Emit();
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  menu_.Changed.Emit();
}

void MenuItem::Click() {
  if (enabled_ && OnClick)
    OnClick(*this);
}

MenuItem& PopupMenu::Add(std::string name, std::string caption, int tag) {
  items_.push_back(std::make_unique<MenuItem>(*this, std::move(name), std::move(caption), tag));
  Changed.Emit();
  return *items_.back();
}

void PopupMenu::AddRadioGroup(const std::vector<std::string>& captions,
                              const std::vector<int>& tags) {
  for (size_t i = 0; i < captions.size(); ++i) {
    MenuItem& item = Add({}, captions[i], tags.at(i));
    item.SetRadioItem(true);
  }
}

MenuItem* PopupMenu::FindByName(std::string_view name) const {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const auto& item) { return item->Name() == name; });
  return found == items_.end() ? nullptr : found->get();
}

MenuItem* PopupMenu::FindByCaption(std::string_view caption) const {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const auto& item) { return item->Caption() == caption; });
  return found == items_.end() ? nullptr : found->get();
}

void PopupMenu::RemoveAll() {
  items_.clear();
  Changed.Emit();
}

void PopupMenu::Popup(Point at) {
  if (OnPopup)
    OnPopup(*this);
  PopupRequested.Emit(at);
}

}  // namespace tolvane::ui
