#include "version_marker.h"

#include <array>
#include <cstddef>

namespace tolvane::encoder {

namespace {

// The front-end finds its encoder's version without running it: the first run of seven "=" in
// the executable, with the four version characters 69 bytes after the run's first byte. The
// block is 4 KiB long so that at least 4096 bytes follow the run whatever the linker puts after
// it, and 64-byte aligned so the run never straddles a 4 KiB block of the file.
constexpr std::size_t kMarkerSize = 4160;
constexpr std::size_t kVersionOffset = 69;

constexpr std::array<char, kMarkerSize> MakeMarker() {
  std::array<char, kMarkerSize> block{};
  constexpr char kRun[] = "======= bladeenc for Tolvane, an MP3 encoder on libmp3lame ";
  for (std::size_t i = 0; i + 1 < sizeof kRun && i < kVersionOffset; ++i)
    block[i] = kRun[i];
  for (std::size_t i = sizeof kRun - 1; i < kVersionOffset; ++i)
    block[i] = ' ';
  for (std::size_t i = 0; i < 4; ++i)
    block[kVersionOffset + i] = kVersion[i];
  return block;
}

alignas(64) [[gnu::used]] constexpr std::array<char, kMarkerSize> kMarker = MakeMarker();

}  // namespace

const char* VersionMarker() {
  // Read through a volatile pointer so the optimiser cannot drop the block.
  const char* volatile marker = kMarker.data();
  return marker;
}

}  // namespace tolvane::encoder
