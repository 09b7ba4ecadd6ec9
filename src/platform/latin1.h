#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's texts are UTF-8; an ID3v1 tag holds ISO-8859-1, one byte a character, and an
// ID3v2 tag UTF-16.
namespace tolvane::platform {

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);

// The first `count` characters of a UTF-8 text (all of it when it has fewer); a malformed byte
// counts as one character.
std::string FirstCharacters(std::string_view utf8, size_t count);

// The text in ISO-8859-1: a character outside it becomes "?".
std::string ToLatin1(std::string_view utf8);
std::string FromLatin1(std::string_view latin1);
// A text of unknown encoding in UTF-8: well-formed UTF-8 as it is, anything else taken as
// ISO-8859-1 (what older programs and file formats wrote).
std::string AsUtf8(std::string_view text);

// The text in UTF-16, little-endian, without a byte order mark; a malformed byte becomes U+FFFD.
std::string ToUtf16Le(std::string_view utf8);

}  // namespace tolvane::platform
