#pragma once

namespace tolvane::encoder {

// The encoder's version, as the front-end reads it out of this executable.
inline constexpr char kVersion[] = "1.00";

// Makes sure the marker stays in the executable; returns its first byte.
const char* VersionMarker();

}  // namespace tolvane::encoder
