#pragma once

#include <cstdint>

#include "platform/signal.h"

namespace tolvane::options {

// What the window has chosen that no control holds by itself: the defaults a new entry copies
// (bitrate, stereo mode, priority), the tree depth, the watched drive's place in its menu, the
// estimate mode and whether the encoder keeps the console. The values are read freely and
// changed through Set, which tells Changed, so the buttons that show them follow whoever
// changed them (a menu, the loaded settings, Restore defaults).
class WindowDefaults final {
 public:
  int32_t bitrate = 128;
  int32_t stereo = 0;    // 0 stereo to 4 right
  int32_t priority = 2;  // 0 idle to 5 highest
  int32_t tree_depth = 0;
  int32_t drive_index = 0;
  uint8_t estimate_mode = 1;  // 0 the running file's time left, 1 the batch's
  uint8_t show_encoder_console = 0;

  template <typename Value>
  void Set(Value WindowDefaults::*field, Value value) {
    this->*field = value;
    Changed.Emit();
  }

  platform::Signal<> Changed;
};

}  // namespace tolvane::options
