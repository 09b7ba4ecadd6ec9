#include "speed_button.h"

namespace tolvane::ui {

SpeedButton::SpeedButton(std::string name, Control* parent, std::string caption)
    : Control(std::move(name), parent), caption_(std::move(caption)) {}

void SpeedButton::SetCaption(std::string caption) {
  if (caption == caption_)
    return;
  caption_ = std::move(caption);
  NotifyChanged();
}

void SpeedButton::SetFlat(bool flat) {
  flat_ = flat;
  NotifyChanged();
}

void SpeedButton::SetGlyph(std::string glyph) {
  glyph_ = std::move(glyph);
  NotifyChanged();
}

void SpeedButton::SetDown(bool down) {
  if (group_index_ == 0)
    down = false;
  if (down == down_)
    return;
  if (down_ && !allow_all_up_)
    return;
  down_ = down;
  if (down_)
    RaiseOthersInGroup();
  NotifyChanged();
}

void SpeedButton::RaiseOthersInGroup() {
  if (Parent() == nullptr)
    return;
  for (Control* sibling : Parent()->Children()) {
    auto* other = dynamic_cast<SpeedButton*>(sibling);
    if (other != nullptr && other != this && other->group_index_ == group_index_ && other->down_) {
      other->down_ = false;
      other->NotifyChanged();
    }
  }
}

std::string SpeedButton::AccessibleName() const {
  if (AccessibleLabel().empty())
    return caption_;
  return caption_.empty() ? AccessibleLabel() : AccessibleLabel() + ": " + caption_;
}

void SpeedButton::UserClick() {
  if (!Enabled())
    return;
  if (group_index_ != 0)
    SetDown(!down_);
  Click();
  if (dropdown_ != nullptr)
    DropDownRequested.Emit();
}

void SpeedButton::Click() {
  if (OnClick)
    OnClick();
}

void SpeedButton::MouseDown(MouseButton button, ShiftState shift, Point at) {
  if (Enabled() && OnMouseDown)
    OnMouseDown(button, shift, at);
}

void SpeedButton::MouseUp(MouseButton button, ShiftState shift, Point at) {
  if (Enabled() && OnMouseUp)
    OnMouseUp(button, shift, at);
}

}  // namespace tolvane::ui
