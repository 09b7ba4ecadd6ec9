#pragma once

#include <cstdint>
#include <vector>

namespace tolvane::encoder {

// How much of each input channel goes into the left and the right output.
struct StereoWeights {
  std::vector<float> left;
  std::vector<float> right;
};

// The standard downmix of more than two channels to stereo: front left and right as they are,
// the centre and the surrounds at -3 dB into their side (a centre into both), the LFE left out;
// then everything scaled down together so that no sum can go beyond full scale. The speakers
// are the channel mask's (as WAVE_FORMAT_EXTENSIBLE gives it), in the usual order otherwise.
StereoWeights DownmixWeights(int channels, uint32_t channel_mask);

// Interleaved frames of `weights.left.size()` channels to interleaved stereo.
void Downmix(const std::vector<float>& samples, const StereoWeights& weights,
             std::vector<float>& stereo);

}  // namespace tolvane::encoder
