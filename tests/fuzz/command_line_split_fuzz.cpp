// The Windows-rules split never fails, and every argument quoted by QuoteArgument comes back
// from it unchanged.
#include <cstdlib>
#include <string>

#include "platform/process.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tolvane::platform::SplitCommandLine(text);
  if (text.find('\0') != std::string::npos)
    return 0;
  using tolvane::platform::QuoteArgument;
  const auto arguments =
      tolvane::platform::SplitCommandLine(QuoteArgument(text) + " " + QuoteArgument(text));
  if (arguments.size() != 2 || arguments[0] != text || arguments[1] != text)
    std::abort();
  return 0;
}
