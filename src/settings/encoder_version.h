#pragma once

#include <string>

#include "platform/file_system.h"

namespace tolvane::settings {

// What reading an encoder's version out of its executable found.
struct EncoderVersion {
  enum class Outcome {
    Unreadable,  // the file cannot be opened: the label is emptied
    NoMarker,    // no marker in the file: the label keeps its text
    Found,       // `label` is "v " and the four characters, or "v ?.??"
  };
  Outcome outcome = Outcome::Unreadable;
  std::string label;
};

// Reads a regular file (never a device or a FIFO) in blocks of 4096 bytes, within its first
// 64 MiB, and finds the first run of seven "=" within a block
// (a run split across two blocks is not seen). The version is the four characters 69 bytes
// after the run's first byte, or 93 bytes after it when the run is longer. They must read as a
// decimal number (leading blanks allowed, nothing after it), else the label is "v ?.??".
EncoderVersion ReadEncoderVersion(platform::FileSystem& files, const std::string& path);

// Whether four characters read as a decimal number by the usual rules.
bool IsDecimalNumber(std::string_view text);

}  // namespace tolvane::settings
