#pragma once

#include <functional>
#include <string>

#include "control.h"
#include "platform/signal.h"

namespace tolvane::ui {

class PopupMenu;

// What a button is to a screen reader: one that acts when pressed, a check box, a button that
// stays down until pressed again, or one that opens a menu.
enum class ButtonRole { Push, CheckBox, Toggle, Menu };

// A toolbar-style button. With a GroupIndex other than 0 it stays down when pressed and the
// buttons of the same parent and group exclude each other; a down button of a group that does
// not allow all up is raised only by pressing another button of its group.
class SpeedButton final : public Control {
 public:
  SpeedButton(std::string name, Control* parent, std::string caption = {});

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  bool Down() const { return down_; }
  // As the classic toolkit: ignored for group 0, and refused when raising a down button of a
  // group that does not allow all up.
  void SetDown(bool down);

  // A number for the program's own use.
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int group) { group_index_ = group; }
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool allow) { allow_all_up_ = allow; }
  bool Flat() const { return flat_; }
  void SetFlat(bool flat);

  // The name of the glyph image drawn left of or above the caption; empty for none.
  const std::string& Glyph() const { return glyph_; }
  void SetGlyph(std::string glyph);
  // Where the caption may be shortened: from this character on, in its middle, when the button
  // is too narrow; what comes before stays whole. 0: anywhere.
  size_t ElidedFrom() const { return elided_from_; }
  void SetElidedFrom(size_t position) {
    elided_from_ = position;
    NotifyChanged();
  }
  // What a screen reader says for the button: what it is for followed by its caption
  // ("Bitrate: 128kbps") when it has both, else whichever it has.
  std::string AccessibleName() const;
  // How the button acts, for a screen reader. A button with a drop-down menu is a menu button
  // whatever is set.
  ButtonRole Role() const { return dropdown_ != nullptr ? ButtonRole::Menu : role_; }
  void SetRole(ButtonRole role) { role_ = role; }

  // The menu that drops down below the button when it is clicked.
  PopupMenu* DropdownMenu() const { return dropdown_; }
  void SetDropdownMenu(PopupMenu* menu) { dropdown_ = menu; }

  // A user's click: flips the down state within the group rules, runs OnClick, then asks for
  // the drop-down menu. A disabled button ignores it.
  void UserClick();
  // Runs OnClick alone, as code pressing the button does.
  void Click();

  std::function<void()> OnClick;
  std::function<void(MouseButton, ShiftState, Point)> OnMouseDown;
  std::function<void(MouseButton, ShiftState, Point)> OnMouseUp;

  // The view drops the menu down below the button, where only it knows the screen position.
  platform::Signal<> DropDownRequested;

  // Mouse events from the view.
  void MouseDown(MouseButton button, ShiftState shift, Point at);
  void MouseUp(MouseButton button, ShiftState shift, Point at);

 private:
  void RaiseOthersInGroup();

  std::string caption_;
  std::string glyph_;
  size_t elided_from_ = 0;
  bool down_ = false;
  int group_index_ = 0;
  int tag_ = 0;
  bool allow_all_up_ = false;
  bool flat_ = false;
  PopupMenu* dropdown_ = nullptr;
  ButtonRole role_ = ButtonRole::Push;
};

}  // namespace tolvane::ui
