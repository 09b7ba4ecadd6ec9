#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvane::encoder {

// The loudness of several files' 400 ms blocks (LUFS) played as one, gated as ITU-R BS.1770
// gates one file (blocks under -70 LUFS, then those 10 LU under the rest, left out); minus
// infinity for silence.
double GatedLoudness(const std::vector<const std::vector<double>*>& files);

// The loudness of the sound being encoded, by EBU R 128 (libebur128's momentary loudness): every
// 400 ms block at 100 ms steps, the integrated loudness gated from them, and the sample peak.
// The blocks let the loudness of several files together (an album) be gated as if they were one.
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
  float peak_ = 0;
};

}  // namespace tolvane::encoder
