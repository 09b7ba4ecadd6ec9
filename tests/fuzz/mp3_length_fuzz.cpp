// The measure of an MP3 found in place over any bytes: an ID3v2 tag, frames, or anything else.
#include "cli/mp3_length.h"
#include "memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tolvane::fuzz::MemoryFileSystem files;
  files.Put("/in.mp3", std::string(reinterpret_cast<const char*>(data), size));
  tolvane::cli::MeasureMp3(files, "/in.mp3");
  return 0;
}
