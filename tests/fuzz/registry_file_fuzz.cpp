// The registry file: any text is loaded; what is written back loads again to the same text.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/posix/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/tolvane-fuzz-registry-" + std::to_string(::getpid());
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::string first;
  {
    tolvane::posix::RegistryFile store(path, "HKEY_CURRENT_USER");
    // Makes it write back.
    if (!store.WriteString("SOFTWARE\\Orvik\\Tolvane", "Fuzz", "x") ||
        !store.DeleteValue("SOFTWARE\\Orvik\\Tolvane", "Fuzz")) {
      std::abort();
    }
    first = store.Serialize();
  }
  tolvane::posix::RegistryFile again(path, "HKEY_CURRENT_USER");
  if (again.Serialize() != first)
    std::abort();  // a value was lost or changed on the way through the file
  ::unlink(path.c_str());
  return 0;
}
