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

// The mean energy of the blocks above `gate`, as a loudness.
double MeanLoudness(const std::vector<const std::vector<double>*>& files, double gate) {
  double energy = 0;
  int64_t count = 0;
  for (const std::vector<double>* blocks : files) {
    for (const double block : *blocks) {
      if (block > gate) {
        energy += std::pow(10.0, (block + 0.691) / 10);
        ++count;
      }
    }
  }
  return count == 0 ? -HUGE_VAL : -0.691 + 10 * std::log10(energy / static_cast<double>(count));
}

}  // namespace

double GatedLoudness(const std::vector<const std::vector<double>*>& files) {
  const double relative = MeanLoudness(files, -70.0) - 10.0;
  return MeanLoudness(files, std::max(-70.0, relative));
}

std::unique_ptr<LoudnessMeter> LoudnessMeter::Create(int channels, int sample_rate) {
  // Only the momentary loudness: the integrated one is gated here from the same blocks, which
  // spares the library keeping them, and the peak is a plain maximum.
  ebur128_state* state = ebur128_init(static_cast<unsigned>(channels),
                                      static_cast<unsigned long>(sample_rate), EBUR128_MODE_M);
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
  float peak = peak_;
  for (int64_t i = 0; i < frames * channels_; ++i)
    peak = std::max(peak, std::abs(samples[i]));
  peak_ = peak;
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
  const double peak = peak_;
  const double loudness = GatedLoudness({&blocks_});
  std::string report =
      "peak " + Number("%.6f", peak) + "\nloudness " + Number("%.2f", loudness) + "\n";
  for (const double block : blocks_)
    report += "block " + Number("%.3f", block) + "\n";
  return report;
}

}  // namespace tolvane::encoder
