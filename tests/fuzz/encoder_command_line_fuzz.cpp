// The encoder's command line: the input split at zero bytes into arguments.
#include <string>
#include <vector>

#include "encoder/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  tolvane::encoder::ParseCommandLine(arguments);
  return 0;
}
