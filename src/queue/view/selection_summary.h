#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/speed_button.h"
#include "platform/ui/status_bar.h"
#include "queue/selection.h"

namespace tolvane::queue {

// The controls below the queue that sum up the selected entries.
struct SummaryControls {
  ui::StatusBar& wave_bar;
  ui::SpeedButton& bitrate;
  ui::SpeedButton& priority;
  ui::SpeedButton& stereo;
  ui::SpeedButton& flags;
  ui::SpeedButton& tag;
};

// Fills in the six panels and the option buttons from the queue's selection: the format of one
// entry, or the sums of several, and the options that apply to them. The option buttons are
// enabled only while no selected entry has been started.
void ShowSelectionSummary(const Selection& selection, const SummaryControls& controls);

// Seconds as minutes and seconds: 64 gives "01:04", 6000 gives "100:00".
std::string MinutesSeconds(int64_t seconds);

// The eight-character flags caption: " ds  prc", a flag that is off showing "_".
std::string FlagsCaption(bool delete_flag, bool crc, bool private_bit, bool copyright, bool copy);

}  // namespace tolvane::queue
