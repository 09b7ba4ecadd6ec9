#include "latin1.h"

#include <algorithm>
#include <cstdint>

namespace tolvane::platform {

namespace {

// The length of the well-formed UTF-8 sequence at `at` and its code point; length 0 when the
// bytes there are no such sequence.
size_t DecodeAt(std::string_view text, size_t at, char32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  size_t length = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size())
    return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80)
      return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < minimum || code > 0x10FFFF || surrogate)
    return 0;
  return length;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  char32_t code = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t length = DecodeAt(text, at, code);
    if (length == 0)
      return false;
    at += length;
  }
  return true;
}

std::string FirstCharacters(std::string_view utf8, size_t count) {
  char32_t code = 0;
  size_t at = 0;
  for (size_t taken = 0; taken < count && at < utf8.size(); ++taken)
    at += std::max<size_t>(1, DecodeAt(utf8, at, code));
  return std::string(utf8.substr(0, at));
}

std::string ToLatin1(std::string_view utf8) {
  std::string latin1;
  char32_t code = 0;
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = DecodeAt(utf8, at, code);
    latin1 += length != 0 && code <= 0xFF ? static_cast<char>(code) : '?';
    at += std::max<size_t>(1, length);
  }
  return latin1;
}

std::string FromLatin1(std::string_view latin1) {
  std::string utf8;
  for (const char c : latin1) {
    const auto code = static_cast<uint8_t>(c);
    if (code < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

std::string AsUtf8(std::string_view text) {
  return IsUtf8(text) ? std::string(text) : FromLatin1(text);
}

std::string ToUtf16Le(std::string_view utf8) {
  std::string utf16;
  const auto put = [&utf16](char32_t unit) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  };
  char32_t code = 0;
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = DecodeAt(utf8, at, code);
    if (length == 0)
      code = 0xFFFD;  // the replacement character for a malformed byte
    if (code >= 0x10000) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code);
    }
    at += std::max<size_t>(1, length);
  }
  return utf16;
}

}  // namespace tolvane::platform
