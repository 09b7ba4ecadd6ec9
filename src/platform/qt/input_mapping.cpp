#include "input_mapping.h"

namespace tolvane::qt {

ui::MouseButton ToMouseButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return ui::MouseButton::Right;
    case Qt::MiddleButton:
      return ui::MouseButton::Middle;
    default:
      return ui::MouseButton::Left;
  }
}

ui::ShiftState ToShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  ui::ShiftState state;
  state.shift = modifiers.testFlag(Qt::ShiftModifier);
  state.ctrl = modifiers.testFlag(Qt::ControlModifier);
  state.alt = modifiers.testFlag(Qt::AltModifier);
  state.left_button = buttons.testFlag(Qt::LeftButton);
  state.right_button = buttons.testFlag(Qt::RightButton);
  state.middle_button = buttons.testFlag(Qt::MiddleButton);
  return state;
}

int ToVirtualKey(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ui::keys::kReturn;
    case Qt::Key_Escape:
      return ui::keys::kEscape;
    case Qt::Key_Backspace:
      return ui::keys::kBack;
    case Qt::Key_Left:
      return ui::keys::kLeft;
    case Qt::Key_Right:
      return ui::keys::kRight;
    case Qt::Key_PageUp:
      return ui::keys::kPageUp;
    case Qt::Key_PageDown:
      return ui::keys::kPageDown;
    case Qt::Key_Insert:
      return ui::keys::kInsert;
    case Qt::Key_Delete:
      return ui::keys::kDelete;
    default:
      if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)
        return '0' + (qt_key - Qt::Key_0);
      if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z)
        return 'A' + (qt_key - Qt::Key_A);
      return 0;
  }
}

}  // namespace tolvane::qt
