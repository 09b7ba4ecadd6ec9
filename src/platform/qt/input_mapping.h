#pragma once

#include <QMouseEvent>

#include "platform/ui/geometry.h"
#include "platform/ui/input.h"

namespace tolvane::qt {

ui::MouseButton ToMouseButton(Qt::MouseButton button);
ui::ShiftState ToShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The classic virtual key code of a Qt key, or 0 for keys the program does not use.
int ToVirtualKey(int qt_key);
inline ui::Point ToPoint(const QPoint& point) {
  return {point.x(), point.y()};
}

}  // namespace tolvane::qt
