#pragma once

#include <cmath>
#include <cstdint>
#include <string>

// How the program rounds and writes numbers: every size, time and percentage it shows goes
// through these.
namespace tolvane::platform {

// The nearest integer, halves to even (the floating-point unit's default rounding).
inline int64_t RoundHalfEven(long double value) {
  return static_cast<int64_t>(std::nearbyintl(value));
}

// `value` in decimal, with leading zeros to at least `width` digits: (5, 3) gives "005".
inline std::string ZeroPadded(int64_t value, size_t width) {
  std::string digits = std::to_string(value);
  return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

// A count of rows with leading zeros to at least three digits: "002", "015", "1234".
inline std::string CountText(int count) {
  return ZeroPadded(count, 3);
}

// Seconds as HH:MM:SS, each part at least two digits: 3661 gives "01:01:01", 360000 gives
// "100:00:00".
inline std::string SecondsToTime(int64_t seconds) {
  return ZeroPadded(seconds / 3600, 2) + ":" + ZeroPadded(seconds % 3600 / 60, 2) + ":" +
         ZeroPadded(seconds % 3600 % 60, 2);
}

// Megabytes (bytes / 1024 / 1024, nearest, halves to even) and "mb": "120mb".
inline std::string MegabytesText(long double bytes) {
  return std::to_string(RoundHalfEven(bytes / 1024.0L / 1024.0L)) + "mb";
}

}  // namespace tolvane::platform
