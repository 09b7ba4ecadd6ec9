#pragma once

#include <string>

namespace tolvane::queue {

// A count with leading zeros to at least three digits: "002", "015", "1234".
inline std::string CountText(int count) {
  const std::string digits = std::to_string(count);
  return digits.size() >= 3 ? digits : std::string(3 - digits.size(), '0') + digits;
}

}  // namespace tolvane::queue
