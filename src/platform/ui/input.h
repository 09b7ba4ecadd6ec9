#pragma once

#include <cstdint>

namespace tolvane::ui {

enum class MouseButton { Left, Right, Middle };

// Modifier keys and held mouse buttons at the time of an input event.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool left_button = false;
  bool right_button = false;
  bool middle_button = false;

  // Exactly Ctrl, without Shift or Alt.
  bool OnlyCtrl() const { return ctrl && !shift && !alt; }
};

// Virtual key codes of the keys the program reacts to.
namespace keys {
inline constexpr int kBack = 8;
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kLeft = 37;
inline constexpr int kRight = 39;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kDigit3 = '3';
}  // namespace keys

}  // namespace tolvane::ui
