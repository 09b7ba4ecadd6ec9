#include "encoder_version.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tolvane::settings {

namespace {

constexpr int64_t kBlock = 4096;
constexpr int64_t kVersionOffset = 69;
constexpr int64_t kLongRunVersionOffset = 93;
constexpr std::string_view kRun = "=======";
// The marker lies near the start of an encoder; a search never reads more than this.
constexpr int64_t kSearchLimit = 64 * 1024 * 1024;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsDecimalNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i]))
    ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i]))
      ++i, ++digits;
  }
  if (digits == 0)
    return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
      ++i;
    size_t exponent_digits = 0;
    while (i < text.size() && IsDigit(text[i]))
      ++i, ++exponent_digits;
    if (exponent_digits == 0)
      return false;
  }
  return i == text.size();
}

EncoderVersion ReadEncoderVersion(platform::FileSystem& files, const std::string& path) {
  const std::unique_ptr<platform::File> file = files.Open(path, platform::OpenMode::Read);
  if (file == nullptr)
    return {EncoderVersion::Outcome::Unreadable, {}};
  std::string block(static_cast<size_t>(kBlock), '\0');
  for (int64_t offset = 0; offset < kSearchLimit; offset += kBlock) {
    const int64_t got = file->ReadAt(offset, block.data(), kBlock);
    if (got <= 0)
      return {EncoderVersion::Outcome::NoMarker, {}};
    const size_t found = std::string_view(block.data(), static_cast<size_t>(got)).find(kRun);
    if (found == std::string_view::npos)
      continue;
    const int64_t marker = offset + static_cast<int64_t>(found);
    std::array<char, 4> version{};
    // What cannot be read stays zero, and no version reads so.
    (void)file->ReadAt(marker + kVersionOffset, version.data(), 4);
    if (version[0] == '=')
      (void)file->ReadAt(marker + kLongRunVersionOffset, version.data(), 4);
    const std::string text(version.begin(), version.end());
    return {EncoderVersion::Outcome::Found, IsDecimalNumber(text) ? "v " + text : "v ?.??"};
  }
  return {EncoderVersion::Outcome::NoMarker, {}};
}

}  // namespace tolvane::settings
