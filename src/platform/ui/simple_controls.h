#pragma once

#include <algorithm>
#include <functional>
#include <string>

#include "control.h"

namespace tolvane::ui {

// A plain container; `Bevelled` panels draw a frame.
class Panel final : public Control {
 public:
  using Control::Control;
  std::function<void()> OnDblClick;
  // Called by the view when the user double-clicks the panel's own background.
  void DblClick() {
    if (OnDblClick)
      OnDblClick();
  }
  // The name of an image tiled over the panel's background; empty for none.
  const std::string& Background() const { return background_; }
  void SetBackground(std::string image) {
    background_ = std::move(image);
    NotifyChanged();
  }

 private:
  std::string background_;
};

// A framed container with a caption in its top edge.
class GroupBox final : public Control {
 public:
  GroupBox(std::string name, Control* parent, std::string caption)
      : Control(std::move(name), parent), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

class Label final : public Control {
 public:
  Label(std::string name, Control* parent, std::string caption)
      : Control(std::move(name), parent), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) {
    if (caption == caption_)
      return;
    caption_ = std::move(caption);
    NotifyChanged();
  }

 private:
  std::string caption_;
};

// A one-line text field. A read-only field still lets the user select and copy its text.
class Edit final : public Control {
 public:
  using Control::Control;
  const std::string& Text() const { return text_; }
  void SetText(std::string text) {
    if (text == text_)
      return;
    text_ = std::move(text);
    NotifyChanged();
  }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) {
    read_only_ = read_only;
    NotifyChanged();
  }
  // How many characters the user may type; 0 for no limit.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length) {
    max_length_ = length;
    NotifyChanged();
  }

 private:
  std::string text_;
  bool read_only_ = false;
  int max_length_ = 0;
};

// A bar from 0 to 100; positions outside are held at the ends.
class ProgressBar final : public Control {
 public:
  using Control::Control;
  int Position() const { return position_; }
  void SetPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (position == position_)
      return;
    position_ = position;
    NotifyChanged();
  }

 private:
  int position_ = 0;
};

}  // namespace tolvane::ui
