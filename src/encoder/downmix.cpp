#include "downmix.h"

#include <algorithm>
#include <array>

namespace tolvane::encoder {

namespace {

// The speakers of the channel mask, in its bit order.
enum Speaker : int {
  kFrontLeft,
  kFrontRight,
  kFrontCentre,
  kLowFrequency,
  kBackLeft,
  kBackRight,
  kFrontLeftOfCentre,
  kFrontRightOfCentre,
  kBackCentre,
  kSideLeft,
  kSideRight,
  kTopCentre,
  kTopFrontLeft,
  kTopFrontCentre,
  kTopFrontRight,
  kTopBackLeft,
  kTopBackCentre,
  kTopBackRight,
  kSpeakerCount
};

constexpr float kMinus3dB = 0.70710678F;
constexpr float kMinus6dB = 0.5F;

struct Weight {
  float left;
  float right;
};

constexpr std::array<Weight, kSpeakerCount> kWeights = {{
    {1, 0},                  // front left
    {0, 1},                  // front right
    {kMinus3dB, kMinus3dB},  // front centre
    {0, 0},                  // LFE
    {kMinus3dB, 0},          // back left
    {0, kMinus3dB},          // back right
    {1, 0},                  // front left of centre
    {0, 1},                  // front right of centre
    {kMinus6dB, kMinus6dB},  // back centre
    {kMinus3dB, 0},          // side left
    {0, kMinus3dB},          // side right
    {kMinus6dB, kMinus6dB},  // top centre
    {kMinus3dB, 0},          // top front left
    {kMinus6dB, kMinus6dB},  // top front centre
    {0, kMinus3dB},          // top front right
    {kMinus3dB, 0},          // top back left
    {kMinus6dB, kMinus6dB},  // top back centre
    {0, kMinus3dB},          // top back right
}};

// The usual order of files without a mask, by channel count (3 to 8).
std::vector<int> UsualSpeakers(int channels) {
  switch (channels) {
    case 3:
      return {kFrontLeft, kFrontRight, kFrontCentre};
    case 4:
      return {kFrontLeft, kFrontRight, kBackLeft, kBackRight};
    case 5:
      return {kFrontLeft, kFrontRight, kFrontCentre, kBackLeft, kBackRight};
    case 6:
      return {kFrontLeft, kFrontRight, kFrontCentre, kLowFrequency, kBackLeft, kBackRight};
    case 7:
      return {kFrontLeft,  kFrontRight, kFrontCentre, kLowFrequency,
              kBackCentre, kSideLeft,   kSideRight};
    default:
      return {kFrontLeft, kFrontRight, kFrontCentre, kLowFrequency,
              kBackLeft,  kBackRight,  kSideLeft,    kSideRight};
  }
}

}  // namespace

StereoWeights DownmixWeights(int channels, uint32_t channel_mask) {
  std::vector<int> speakers;
  for (int bit = 0; bit < kSpeakerCount && static_cast<int>(speakers.size()) < channels; ++bit) {
    if ((channel_mask >> bit) & 1U)
      speakers.push_back(bit);
  }
  // A mask that names too few speakers says nothing reliable.
  if (static_cast<int>(speakers.size()) < channels)
    speakers = UsualSpeakers(channels);
  StereoWeights weights;
  for (int channel = 0; channel < channels; ++channel) {
    const Weight w = channel < static_cast<int>(speakers.size()) ? kWeights[speakers[channel]]
                                                                 : Weight{kMinus6dB, kMinus6dB};
    weights.left.push_back(w.left);
    weights.right.push_back(w.right);
  }
  float left_sum = 0;
  float right_sum = 0;
  for (int channel = 0; channel < channels; ++channel) {
    left_sum += weights.left[channel];
    right_sum += weights.right[channel];
  }
  const float largest = std::max(left_sum, right_sum);
  if (largest > 1) {
    for (int channel = 0; channel < channels; ++channel) {
      weights.left[channel] /= largest;
      weights.right[channel] /= largest;
    }
  }
  return weights;
}

void Downmix(const std::vector<float>& samples, const StereoWeights& weights,
             std::vector<float>& stereo) {
  const size_t channels = weights.left.size();
  const size_t frames = channels == 0 ? 0 : samples.size() / channels;
  stereo.assign(frames * 2, 0.0F);
  for (size_t frame = 0; frame < frames; ++frame) {
    const float* in = samples.data() + frame * channels;
    float left = 0;
    float right = 0;
    for (size_t channel = 0; channel < channels; ++channel) {
      left += in[channel] * weights.left[channel];
      right += in[channel] * weights.right[channel];
    }
    stereo[2 * frame] = left;
    stereo[2 * frame + 1] = right;
  }
}

}  // namespace tolvane::encoder
