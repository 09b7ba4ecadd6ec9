#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvane::encoder {

// The loudness of the sound being encoded, by EBU R 128 (libebur128): its integrated loudness,
// its sample peak, and the loudness of every 400 ms block at 100 ms steps, from which the
// loudness of several files together (an album) is gated as if they were one.
class LoudnessMeter final {
 public:
  // Null when the library cannot measure this many channels at this rate.
  static std::unique_ptr<LoudnessMeter> Create(int channels, int sample_rate);
  ~LoudnessMeter();
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  // Interleaved samples, full scale at 1.0.
  void Add(const float* samples, int64_t frames);

  // "peak P", "loudness L" (LUFS; "-inf" for silence) and one "block L" line a block.
  std::string Report() const;

 private:
  LoudnessMeter(void* state, int channels, int sample_rate);

  void* state_;
  int channels_;
  int64_t block_step_;       // frames in 100 ms
  int64_t since_block_ = 0;  // frames added since the last step
  int64_t steps_ = 0;
  std::vector<double> blocks_;
};

}  // namespace tolvane::encoder
