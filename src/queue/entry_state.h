#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::queue {

// Where an entry stands. Stopped and Halted entries wait like Queued ones and read "Queued";
// they remember how their last run ended (a halted one keeps the encoder's reason).
enum class Phase { Queued, Preparing, Encoding, Completed, Skipped, Stopped, Halted };

// An entry's state: its phase and what the phase carries. The row's status, image and hint are
// made from it by the functions below, and only there.
struct EntryState {
  Phase phase = Phase::Queued;
  long double percent = 0;         // Encoding: measured from the output; may pass 100
  std::optional<int32_t> seconds;  // Completed: how long it took; none when passed over
  std::string note;                // Completed: what did not reach the MP3 (", not moved")
  std::string reason;              // Halted: the encoder's own last word on why

  static EntryState Queued() { return {}; }
  static EntryState Preparing() { return Of(Phase::Preparing); }
  static EntryState Encoding(long double percent) {
    EntryState state = Of(Phase::Encoding);
    state.percent = percent;
    return state;
  }
  static EntryState Completed(int32_t seconds, std::string note) {
    EntryState state = Of(Phase::Completed);
    state.seconds = seconds;
    state.note = std::move(note);
    return state;
  }
  // Passed over because its MP3 is there and is kept: it counts as done.
  static EntryState Kept() { return Of(Phase::Completed); }
  static EntryState Skipped() { return Of(Phase::Skipped); }
  static EntryState Stopped() { return Of(Phase::Stopped); }
  static EntryState Halted(std::string reason) {
    EntryState state = Of(Phase::Halted);
    state.reason = std::move(reason);
    return state;
  }

  // Finished: the batch is done with it, and the job list keeps it no more.
  bool Finished() const { return phase == Phase::Completed; }
  // Waiting for its turn: the next Encode takes the first of these.
  bool Waiting() const {
    return phase == Phase::Queued || phase == Phase::Stopped || phase == Phase::Halted;
  }
  // No job holds it: it may be removed, cut or moved.
  bool Idle() const { return phase != Phase::Preparing && phase != Phase::Encoding; }

  bool operator==(const EntryState&) const = default;

 private:
  static EntryState Of(Phase phase) {
    EntryState state;
    state.phase = phase;
    return state;
  }
};

// The row's state image while the entry has an ID3 tag.
inline constexpr int kTagImage = 5;

// The row's Status words: "Queued", "Preparing...", "45% completed", "Completed in 00:01:02"
// (with its note), "Completed", "Skipped".
std::string StatusText(const EntryState& state);
// The row's image: 0 waiting, the quarter of the percent while encoding (0 to 4), 4 done.
int StatusImage(const EntryState& state);
// The row's tooltip: why its last run halted, or "".
const std::string& StatusHint(const EntryState& state);

}  // namespace tolvane::queue
