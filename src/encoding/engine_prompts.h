#pragma once

#include <string>

namespace tolvane::encoding {

// Where the free space looked short.
enum class SpaceCheck { Source, Target };

// Why a batch stopped at an entry, or did not start.
enum class EngineFailure {
  EncoderNotFound,         // no file at the encoder's path
  InputNotFound,           // the entry's source is gone
  OutputFolderNotCreated,  // the target folder or one of its tree levels
  OutputNotCreated,        // the MP3 file cannot be made
  CommandLineTooLong,      // longer than the encoder's command line may be
  CannotStart,             // the encoder could not be started
  EncoderHalted,           // the encoder ended with an error
  SourceIsOwnOutput,       // the MP3 would be written over the source itself: passed over
  NothingToDo,             // Encode found no queued entry
};

// The questions and messages of the batch engine. The window asks them in message boxes; a tool
// without a window answers them from its options. `source_name` is the source's file name
// (song.wav). Every question answers true for Yes.
class EnginePrompts {
 public:
  virtual ~EnginePrompts() = default;
  virtual bool OverwriteExisting(const std::string& source_name) = 0;
  virtual bool SkipShortOfSpace(const std::string& source_name, SpaceCheck where) = 0;
  virtual bool ConfirmStop() = 0;
  virtual bool ConfirmClose() = 0;
  virtual void Report(EngineFailure failure, const std::string& source_name) = 0;
};

}  // namespace tolvane::encoding
