// Loads a settings file whose one key holds 40,000 values (a damaged or hostile file, or years of
// a tool's leftovers), and writes it back. Target on the development machine: under a second for
// the load. Exits 1 when the target is missed.
//
//   build/bench_registry
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/posix/registry_file.h"
#include "support/audio_files.h"

int main() {
  using Clock = std::chrono::steady_clock;
  constexpr int kValues = 40'000;
  tolvane::testing::TempFolder temp;
  std::string text =
      "Windows Registry Editor Version "
      "5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\r\n";
  for (int i = 0; i < kValues; ++i)
    text += "\"Value" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\r\n";
  tolvane::testing::WriteText(temp / "big.reg", text);

  const auto start = Clock::now();
  tolvane::posix::RegistryFile store(temp / "big.reg", "HKEY_CURRENT_USER");
  const double load = std::chrono::duration<double>(Clock::now() - start).count();
  if (store.ReadString("SOFTWARE\\Orvik\\Tolvane", "Value39999").text != "39999") {
    std::fprintf(stderr, "the last value was not read\n");
    return 2;
  }
  std::printf("load of %d values in one key: %.3f s (target under 1 s)\n", kValues, load);
  return load < 1.0 ? 0 : 1;
}
