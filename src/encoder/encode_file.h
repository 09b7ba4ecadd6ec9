#pragma once

#include <string>

#include "command_line.h"

namespace tolvane::encoder {

// Encodes one input to `output` as CBR MPEG Layer III at the input's own sample rate (high
// resolution resampled to 44100 or 48000 Hz, see Mp3SampleRate), writing
// the file block by block as it goes. Returns an empty string on success, else a message. A
// failed run leaves what it wrote.
std::string EncodeFile(const std::string& input, const std::string& output,
                       const EncoderOptions& options);

// Where the output of `input` goes: its name with the extension after the last "." replaced by
// ".mp3", beside the input or in `output_folder`.
std::string OutputPathFor(const std::string& input, const std::string& output_folder);

}  // namespace tolvane::encoder
