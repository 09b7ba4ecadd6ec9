// The encoder's version marker, read out of any bytes as out of an executable.
#include "memory_file_system.h"
#include "settings/encoder_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tolvane::fuzz::MemoryFileSystem files;
  files.Put("/bladeenc", std::string(reinterpret_cast<const char*>(data), size));
  tolvane::settings::ReadEncoderVersion(files, "/bladeenc");
  return 0;
}
