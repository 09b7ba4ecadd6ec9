#include "loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tolvane::encoder {

namespace {

ebur128_state* State(void* state) {
  return static_cast<ebur128_state*>(state);
}

std::string Number(const char* format, double value) {
  if (!std::isfinite(value))
    return "-inf";
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::unique_ptr<LoudnessMeter> LoudnessMeter::Create(int channels, int sample_rate) {
  ebur128_state* state =
      ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sample_rate),
                   EBUR128_MODE_M | EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK);
  if (state == nullptr)
    return nullptr;
  return std::unique_ptr<LoudnessMeter>(new LoudnessMeter(state, channels, sample_rate));
}

LoudnessMeter::LoudnessMeter(void* state, int channels, int sample_rate)
    : state_(state), channels_(channels), block_step_(std::max(1, sample_rate / 10)) {}

LoudnessMeter::~LoudnessMeter() {
  ebur128_state* state = State(state_);
  ebur128_destroy(&state);
}

void LoudnessMeter::Add(const float* samples, int64_t frames) {
  // Fed up to each 100 ms step, so that the momentary loudness read there is that block's.
  while (frames > 0) {
    const int64_t part = std::min(frames, block_step_ - since_block_);
    ebur128_add_frames_float(State(state_), samples, static_cast<size_t>(part));
    samples += part * channels_;
    frames -= part;
    since_block_ += part;
    if (since_block_ == block_step_) {
      since_block_ = 0;
      // The first block is whole after four steps.
      double momentary = 0;
      if (++steps_ >= 4 && ebur128_loudness_momentary(State(state_), &momentary) == EBUR128_SUCCESS)
        blocks_.push_back(momentary);
    }
  }
}

std::string LoudnessMeter::Report() const {
  double peak = 0;
  for (int channel = 0; channel < channels_; ++channel) {
    double channel_peak = 0;
    if (ebur128_sample_peak(State(state_), static_cast<unsigned>(channel), &channel_peak) ==
        EBUR128_SUCCESS)
      peak = std::max(peak, channel_peak);
  }
  double loudness = -HUGE_VAL;
  if (ebur128_loudness_global(State(state_), &loudness) != EBUR128_SUCCESS)
    loudness = -HUGE_VAL;
  std::string report =
      "peak " + Number("%.6f", peak) + "\nloudness " + Number("%.2f", loudness) + "\n";
  for (const double block : blocks_)
    report += "block " + Number("%.3f", block) + "\n";
  return report;
}

}  // namespace tolvane::encoder
