#include "entry_state.h"

#include <algorithm>

#include "platform/number_text.h"

namespace tolvane::queue {

std::string StatusText(const EntryState& state) {
  switch (state.phase) {
    case Phase::Queued:
    case Phase::Stopped:
    case Phase::Halted:
      return "Queued";
    case Phase::Preparing:
      return "Preparing...";
    case Phase::Encoding:
      // The size is an estimate from the bitrate: an output past it is done, not more than done.
      return std::to_string(std::min<int64_t>(platform::RoundHalfEven(state.percent), 100)) +
             "% completed";
    case Phase::Completed:
      return state.seconds ? "Completed in " + platform::SecondsToTime(*state.seconds) + state.note
                           : "Completed";
    case Phase::Skipped:
      return "Skipped";
  }
  return {};
}

int StatusImage(const EntryState& state) {
  switch (state.phase) {
    case Phase::Encoding:
      // Past 100 % the next image would be the tag mark.
      return std::clamp(static_cast<int>(state.percent * 0.04L), 0, 4);
    case Phase::Completed:
      return state.seconds ? 4 : 0;
    default:
      return 0;
  }
}

const std::string& StatusHint(const EntryState& state) {
  static const std::string kNone;
  return state.phase == Phase::Halted ? state.reason : kNone;
}

}  // namespace tolvane::queue
