#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "geometry.h"
#include "input.h"
#include "platform/signal.h"

namespace tolvane::ui {

// How a control follows its parent's client area when the parent is resized or a sibling is shown
// or hidden: docked controls keep their edge, a Client control fills what is left.
enum class Align { None, Top, Bottom, Client };

// The base of every control: a name, a place in the parent's client area, visibility and
// enablement, and the list of children. A control does not own its children; the window that
// declares them does. Destroying either side first is safe.
class Control {
 public:
  Control(std::string name, Control* parent);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Control* Parent() const { return parent_; }
  const std::vector<Control*>& Children() const { return children_; }

  Rect Bounds() const { return bounds_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetBounds(Rect bounds);
  void SetLeft(int left) { SetBounds({left, bounds_.top, bounds_.width, bounds_.height}); }
  void SetTop(int top) { SetBounds({bounds_.left, top, bounds_.width, bounds_.height}); }
  void SetWidth(int width) { SetBounds({bounds_.left, bounds_.top, width, bounds_.height}); }
  void SetHeight(int height) { SetBounds({bounds_.left, bounds_.top, bounds_.width, height}); }

  // The area children are placed in, in the control's own coordinates.
  virtual Rect ClientRect() const { return {0, 0, bounds_.width, bounds_.height}; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  Align GetAlign() const { return align_; }
  void SetAlign(Align align);

  // What a screen reader calls the control where the view has nothing better (a field's label);
  // "" leaves the name to the view (a caption, a text).
  const std::string& AccessibleLabel() const { return accessible_label_; }
  void SetAccessibleLabel(std::string label) {
    accessible_label_ = std::move(label);
    NotifyChanged();
  }

  // Where the control is on the screen. The view that shows it knows exactly; without a view
  // (or before it is placed) the position follows from the bounds of the control and its parents.
  Rect ScreenBounds() const;
  void SetScreenLocator(std::function<std::optional<Rect>()> locator) {
    screen_locator_ = std::move(locator);
  }

  // Any property of the control changed; views re-read it.
  platform::Signal<> Changed;

 protected:
  void NotifyChanged() { Changed.Emit(); }
  // Places the aligned children in the client area, in the order they were added.
  virtual void Realign();
  // The screen position of the client area's top left corner, as the bounds give it.
  virtual Point ClientOrigin() const;

 private:
  std::string name_;
  Control* parent_;
  std::vector<Control*> children_;
  Rect bounds_;
  std::string accessible_label_;
  bool visible_ = true;
  bool enabled_ = true;
  Align align_ = Align::None;
  std::function<std::optional<Rect>()> screen_locator_;
};

}  // namespace tolvane::ui
