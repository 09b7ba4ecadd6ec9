#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control.h"
#include "platform/signal.h"

namespace tolvane::ui {

// Space taken by the window frame around the client area, as the window system reports it.
struct FrameExtents {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// How a modal window ended: None while it is still showing.
enum class ModalResult { None, Ok, Cancel };

// A top-level window. Bounds() is the outer rectangle, frame included, in screen coordinates;
// children are placed in the client area.
class Form final : public Control {
 public:
  Form(std::string name, std::string caption);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  Rect ClientRect() const override;
  Point ClientOrigin() const override;

  FrameExtents Frame() const { return frame_; }
  // The view reports the frame the window manager gave the window; the client size is kept.
  void SetFrame(FrameExtents frame);

  // The control that has the keyboard focus when the window opens.
  Control* ActiveControl() const { return active_control_; }
  void SetActiveControl(Control* control);

  // Before the window moves or is resized: handlers may change the proposed outer rectangle.
  std::function<void(Rect&)> OnPositionChanging;
  // The view asks here where a proposed outer rectangle will really go.
  Rect ProposePosition(Rect proposed) const;

  // Close request: OnCloseQuery may refuse; then OnClose runs and views hide the window.
  std::function<bool()> OnCloseQuery;
  std::function<void()> OnClose;
  bool Close();
  bool Closed() const { return closed_; }

  // A window shown modally ends when its result is set; the view closes it then.
  ModalResult GetModalResult() const { return modal_result_; }
  void SetModalResult(ModalResult result);

  // Keys reach the window before its controls: first the key going down (a virtual key code),
  // then the character it types (Esc is 27, Enter 13). A handler may set the key to 0: the
  // control with the focus then never sees it.
  std::function<void(int& key, ShiftState shift)> OnKeyDown;
  std::function<void(char& key)> OnKeyPress;
  // From the view; false when the handler took the key.
  bool KeyDown(int key, ShiftState shift);
  bool KeyPress(char key);

  // Paths dropped on the window, in the order the desktop gives them. Anything that is not a
  // local file arrives as its text, which names no file.
  std::function<void(const std::vector<std::string>&)> OnDropFiles;

  // Requests to the view.
  void BringToFront() { BringToFrontRequested.Emit(); }
  platform::Signal<> BringToFrontRequested;
  platform::Signal<> CloseRequested;

 private:
  std::string caption_;
  FrameExtents frame_;
  Control* active_control_ = nullptr;
  bool closed_ = false;
  ModalResult modal_result_ = ModalResult::None;
};

}  // namespace tolvane::ui
