#pragma once

#include <string>

#include "platform/file_system.h"

namespace tolvane::cli {

// How much sound an MP3 holds, counted from its frame headers without decoding.
struct Mp3Length {
  double seconds = 0;
  double frame_seconds = 0;  // the length of one of its frames; 0 when it has none
};

// The frames from the file's start (or from the end of an ID3v2 tag there) up to the first bytes
// that are no whole MPEG audio Layer III frame: what an encoder stopped half-way leaves is its
// whole frames. A whole MP3 that starts with a Xing or Info frame (as LAME writes it) is measured
// by that frame's counts, in a few reads; any other is walked frame by frame.
Mp3Length MeasureMp3(platform::FileSystem& files, const std::string& path);

}  // namespace tolvane::cli
