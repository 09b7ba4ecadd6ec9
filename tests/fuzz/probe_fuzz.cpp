// The audio probe over any bytes: a WAVE or AIFF header, or anything else.
#include "memory_file_system.h"
#include "queue/probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tolvane::fuzz::MemoryFileSystem files;
  files.Put("/in.wav", std::string(reinterpret_cast<const char*>(data), size));
  tolvane::queue::ProbeFile(files, "/in.wav");
  return 0;
}
