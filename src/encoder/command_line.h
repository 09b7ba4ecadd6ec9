#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tolvane::encoder {

enum class ChannelMode { Stereo, Swap, Mono, Left, Right };

// The process priorities the encoder can be asked to run at, lowest first.
enum class Priority { Idle, Lowest, Lower, Normal, Higher, Highest };

struct EncoderOptions {
  bool crc = false;
  bool delete_source = false;
  bool private_bit = false;
  bool copy = false;
  bool copyright = false;
  ChannelMode channel_mode = ChannelMode::Stereo;
  int bitrate_kbps = 128;
  // 0 (best) to 9: a variable bitrate at LAME's quality, in place of the constant one.
  std::optional<int> vbr_quality;
  // Beside each MP3, its sound's loudness as "<mp3>.loudness" (see LoudnessMeter::Report).
  bool loudness = false;
  std::optional<Priority> priority;
  // Empty: each output goes beside its input.
  std::string output_folder;
  std::vector<std::string> inputs;
};

struct ParsedCommandLine {
  EncoderOptions options;
  // Empty when the command line is good.
  std::string error;
};

// Reads the arguments (without the program's name). Switches are matched without regard to case.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The nice value a priority maps to.
int NiceValueOf(Priority priority);

}  // namespace tolvane::encoder
