// The job list file: any bytes are read, record by record, without sizing anything by a length
// the bytes cannot hold.
#include "memory_file_system.h"
#include "settings/job_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tolvane::fuzz::MemoryFileSystem files;
  files.Put("/tolvane.dat", std::string(reinterpret_cast<const char*>(data), size));
  tolvane::settings::ReadJobList(files, "/tolvane.dat",
                                 [](const tolvane::settings::JobRecordRead&) {});
  return 0;
}
