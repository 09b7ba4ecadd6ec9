#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "entry_state.h"

namespace tolvane::queue {

// The widths of the ID3v1 tag's text fields, as the tag and the job list store them.
inline constexpr size_t kTagTextWidth = 30;
inline constexpr size_t kTagYearWidth = 4;

// An entry's encoder options: what the encoder is told for it. A new entry copies the defaults
// as a whole; the defaults are the program's own until the settings say otherwise.
struct EncoderOptions {
  int32_t Bitrate = 128;
  int32_t StereoMode = 0;  // 0 stereo, 1 swap, 2 mono, 3 left, 4 right
  int32_t Priority = 2;    // 0 idle to 5 highest
  bool PrivateFlag = false;
  bool CopyrightFlag = false;
  bool CopyFlag = false;
  bool CRCFlag = false;
  bool DeleteFlag = false;
  // 0 (best) to 9: a variable bitrate at that quality (tolvane-batch's -V), with Bitrate then
  // its typical rate, which the estimates use; -1: the constant Bitrate. Not in the job list.
  int32_t VbrQuality = -1;
  // The encoder measures the sound's loudness beside the MP3 (tolvane-batch --replaygain).
  bool MeasureLoudness = false;
};

// An entry's ID3 tag, copied as a whole (the job list, the batch tool's tag options).
struct TagFields {
  bool HasTag = false;
  std::string TagTitle;    // at most kTagTextWidth characters
  std::string TagArtist;   // at most kTagTextWidth characters
  std::string TagAlbum;    // at most kTagTextWidth characters
  std::string TagComment;  // at most kTagTextWidth characters
  std::string TagYear;     // at most kTagYearWidth characters
  int32_t TagGenre = 0;    // a position in the sorted genre list; -1 for none
};

// What names an entry for as long as the queue holds it; a removed entry's id is never reused.
using EntryId = uint64_t;

// One queued file: what its header said, the encoder options chosen for it, its ID3 tag and its
// progress. The queue owns it. The options and the tag are sub-structs (its bases), so each is
// copied as a whole while its fields keep their names (entry.Bitrate).
//
// Sizes are 64-bit so that inputs of 2 GiB and more are counted right.
class TFileData final : public EncoderOptions, public TagFields {
 public:
  EncoderOptions& Options() { return *this; }
  const EncoderOptions& Options() const { return *this; }
  TagFields& Tag() { return *this; }
  const TagFields& Tag() const { return *this; }

  // Given by the queue.
  EntryId Id = 0;
  // Changed through the queue model only, which publishes it.
  EntryState State;
  // In the group that Cut marked and Paste moves; set through the queue model only.
  bool Cut = false;
  bool Started = false;
  bool Encoded = false;
  int32_t EncodeTime = 0;

  // The input file.
  std::string DisplayName;
  std::string FileName;
  int64_t FileSize = 0;
  int64_t DoneBytes = 0;
  int32_t Channels = 0;
  int32_t BitsPerSample = 0;
  int32_t SampleRate = 0;
  int32_t Duration = 0;

  // The output.
  std::string OutputPath;
  int64_t RequiredSize = 0;
};

}  // namespace tolvane::queue
