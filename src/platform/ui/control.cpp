#include "control.h"

#include <algorithm>

namespace tolvane::ui {

Control::Control(std::string name, Control* parent) : name_(std::move(name)), parent_(parent) {
  if (parent_ != nullptr)
    parent_->children_.push_back(this);
}

Control::~Control() {
  for (Control* child : children_)
    child->parent_ = nullptr;
  if (parent_ != nullptr)
    std::erase(parent_->children_, this);
}

void Control::SetBounds(Rect bounds) {
  if (bounds == bounds_)
    return;
  const bool resized = bounds.width != bounds_.width || bounds.height != bounds_.height;
  bounds_ = bounds;
  NotifyChanged();
  if (resized)
    Realign();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  NotifyChanged();
  if (parent_ != nullptr && align_ != Align::None)
    parent_->Realign();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  NotifyChanged();
}

void Control::SetAlign(Align align) {
  if (align == align_)
    return;
  align_ = align;
  if (parent_ != nullptr)
    parent_->Realign();
}

Rect Control::ScreenBounds() const {
  if (screen_locator_) {
    if (const std::optional<Rect> located = screen_locator_())
      return *located;
  }
  Point origin{Left(), Top()};
  if (parent_ != nullptr) {
    const Point client = parent_->ClientOrigin();
    origin = {origin.x + client.x, origin.y + client.y};
  }
  return {origin.x, origin.y, Width(), Height()};
}

Point Control::ClientOrigin() const {
  const Rect screen = ScreenBounds();
  return {screen.left, screen.top};
}

void Control::Realign() {
  Rect area = ClientRect();
  auto visible_with = [this](Align align) {
    std::vector<Control*> found;
    for (Control* child : children_) {
      if (child->align_ == align && child->visible_)
        found.push_back(child);
    }
    return found;
  };
  for (Control* child : visible_with(Align::Top)) {
    child->SetBounds({area.left, area.top, area.width, child->Height()});
    area.top += child->Height();
    area.height -= child->Height();
  }
  for (Control* child : visible_with(Align::Bottom)) {
    child->SetBounds({area.left, area.Bottom() - child->Height(), area.width, child->Height()});
    area.height -= child->Height();
  }
  for (Control* child : visible_with(Align::Client))
    child->SetBounds(area);
}

}  // namespace tolvane::ui
