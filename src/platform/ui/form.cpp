#include "form.h"

namespace tolvane::ui {

Form::Form(std::string name, std::string caption)
    : Control(std::move(name), nullptr), caption_(std::move(caption)) {}

void Form::SetCaption(std::string caption) {
  if (caption == caption_)
    return;
  caption_ = std::move(caption);
  NotifyChanged();
}

int Form::ClientWidth() const {
  return Width() - frame_.left - frame_.right;
}
int Form::ClientHeight() const {
  return Height() - frame_.top - frame_.bottom;
}

void Form::SetClientSize(int width, int height) {
  SetBounds(
      {Left(), Top(), width + frame_.left + frame_.right, height + frame_.top + frame_.bottom});
}

Rect Form::ClientRect() const {
  return {0, 0, ClientWidth(), ClientHeight()};
}

Point Form::ClientOrigin() const {
  const Rect outer = ScreenBounds();
  return {outer.left + frame_.left, outer.top + frame_.top};
}

void Form::SetModalResult(ModalResult result) {
  if (result == modal_result_)
    return;
  modal_result_ = result;
  NotifyChanged();
}

bool Form::KeyDown(int key, ShiftState shift) {
  if (OnKeyDown)
    OnKeyDown(key, shift);
  return key != 0;
}

bool Form::KeyPress(char key) {
  if (OnKeyPress)
    OnKeyPress(key);
  return key != 0;
}

void Form::SetFrame(FrameExtents frame) {
  if (frame == frame_)
    return;
  const int client_width = ClientWidth();
  const int client_height = ClientHeight();
  frame_ = frame;
  SetClientSize(client_width, client_height);
  NotifyChanged();
}

void Form::SetActiveControl(Control* control) {
  active_control_ = control;
  NotifyChanged();
}

Rect Form::ProposePosition(Rect proposed) const {
  if (OnPositionChanging)
    OnPositionChanging(proposed);
  return proposed;
}

bool Form::Close() {
  if (OnCloseQuery && !OnCloseQuery())
    return false;
  if (OnClose)
    OnClose();
  closed_ = true;
  SetVisible(false);
  CloseRequested.Emit();
  return true;
}

}  // namespace tolvane::ui
