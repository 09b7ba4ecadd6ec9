#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geometry.h"
#include "platform/signal.h"

namespace tolvane::ui {

class PopupMenu;

// One item of a popup menu. A caption of "-" makes a separator.
class MenuItem final {
 public:
  MenuItem(PopupMenu& menu, std::string name, std::string caption, int tag);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  PopupMenu& Menu() const { return menu_; }
  int Index() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool IsSeparator() const { return caption_ == "-"; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // Checking a radio item unchecks the other radio items of its menu with the same GroupIndex.
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool RadioItem() const { return radio_item_; }
  void SetRadioItem(bool radio) { radio_item_ = radio; }
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int group) { group_index_ = group; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // The user chose the item (the view calls this; disabled items are never chosen).
  void Click();
  std::function<void(MenuItem&)> OnClick;

 private:
  PopupMenu& menu_;
  std::string name_;
  std::string caption_;
  int tag_;
  bool checked_ = false;
  bool radio_item_ = false;
  int group_index_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
};

// A context or drop-down menu. It owns its items.
class PopupMenu final {
 public:
  explicit PopupMenu(std::string name) : name_(std::move(name)) {}
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  const std::string& Name() const { return name_; }
  MenuItem& Add(std::string name, std::string caption, int tag = 0);
  MenuItem& AddSeparator() { return Add({}, "-", 0); }
  // Adds radio items in one group, one per caption, with tags first_tag, first_tag + step, ...
  void AddRadioGroup(const std::vector<std::string>& captions, const std::vector<int>& tags);

  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) const { return *items_.at(index); }
  MenuItem* FindByName(std::string_view name) const;
  MenuItem* FindByCaption(std::string_view caption) const;
  void RemoveAll();

  // Opens the menu at a point in screen coordinates: OnPopup runs first, then the view shows it.
  void Popup(Point at);
  std::function<void(PopupMenu&)> OnPopup;

  platform::Signal<> Changed;
  platform::Signal<Point> PopupRequested;

 private:
  friend class MenuItem;
  std::string name_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace tolvane::ui
