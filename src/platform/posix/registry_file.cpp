#include "registry_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "errno_result.h"
#include "unique_fd.h"
#include "write_all.h"
#include "xdg_folders.h"

namespace tolvane::posix {

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// UTF-16 little-endian text up to its first NUL, as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const std::vector<uint8_t>& bytes) {
  std::string out;
  const auto unit = [&](size_t i) { return static_cast<uint32_t>(bytes[i] | (bytes[i + 1] << 8)); };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t code = unit(i);
    if (code == 0)
      break;
    if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

// A key path without empty levels: separators at either end and repeated ones name no key, so
// \a\\b\ is the key a\b, and every spelling of a path is written back the same way.
std::string NormalizeKey(std::string_view key) {
  std::string normal;
  for (const char c : key) {
    if (c == '\\' && (normal.empty() || normal.back() == '\\'))
      continue;
    normal += c;
  }
  if (normal.ends_with('\\'))
    normal.pop_back();
  return normal;
}

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Reads a quoted, escaped string starting at text[pos] == '"'; pos ends behind the closing
// quote. False when the string does not close.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
  if (pos >= text.size() || text[pos] != '"')
    return false;
  ++pos;
  while (pos < text.size()) {
    const char c = text[pos++];
    if (c == '"')
      return true;
    if (c != '\\' || pos >= text.size()) {
      out += c;
      continue;
    }
    const char escaped = text[pos++];
    out += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
  }
  return false;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<uint8_t> bytes;
  std::string token;
  auto flush = [&]() -> bool {
    if (token.empty())
      return true;
    if (token.size() > 2)
      return false;
    char* end = nullptr;
    const long value = std::strtol(token.c_str(), &end, 16);
    if (*end != '\0')
      return false;
    bytes.push_back(static_cast<uint8_t>(value));
    token.clear();
    return true;
  };
  for (char c : text) {
    if (c == ',') {
      if (!flush())
        return std::nullopt;
    } else if (c != ' ' && c != '\t' && c != '\\') {
      token += c;
    }
  }
  if (!flush())
    return std::nullopt;
  return bytes;
}

std::optional<platform::RegValue> ParseData(std::string_view data) {
  platform::RegValue value;
  if (data.starts_with('"')) {
    size_t pos = 0;
    std::string text;
    if (!ReadQuoted(data, pos, text))
      return std::nullopt;
    return platform::RegValue::String(std::move(text));
  }
  if (data.starts_with("dword:")) {
    const std::string digits(data.substr(6));
    if (digits.empty() || digits.size() > 8)
      return std::nullopt;
    char* end = nullptr;
    const unsigned long number = std::strtoul(digits.c_str(), &end, 16);
    if (*end != '\0')
      return std::nullopt;
    return platform::RegValue::Dword(static_cast<uint32_t>(number));
  }
  uint32_t type = platform::reg_type::kBinary;
  if (data.starts_with("hex(")) {
    const size_t close = data.find("):");
    if (close == std::string_view::npos)
      return std::nullopt;
    char* end = nullptr;
    const std::string digits(data.substr(4, close - 4));
    type = static_cast<uint32_t>(std::strtoul(digits.c_str(), &end, 16));
    if (digits.empty() || *end != '\0')
      return std::nullopt;
    data.remove_prefix(close + 2);
  } else if (data.starts_with("hex:")) {
    data.remove_prefix(4);
  } else {
    return std::nullopt;
  }
  auto bytes = ParseHexBytes(data);
  if (!bytes)
    return std::nullopt;
  value.type = type;
  value.bytes = std::move(*bytes);
  // Text stored as bytes (UTF-16, as Windows keeps it) reads as text and is written back as the
  // bytes it was.
  if (type == platform::reg_type::kString || type == platform::reg_type::kExpandString)
    value.text = Utf16LeToUtf8(value.bytes);
  return value;
}

std::string FormatData(const platform::RegValue& value) {
  if (value.type == platform::reg_type::kString && value.bytes.empty())
    return "\"" + Escape(value.text) + "\"";
  if (value.type == platform::reg_type::kDword && value.bytes.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
      number = (number << 8) | value.bytes[i];
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    return text;
  }
  std::string out;
  if (value.type == platform::reg_type::kBinary) {
    out = "hex:";
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    out = prefix;
  }
  for (size_t i = 0; i < value.bytes.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", value.bytes[i]);
    if (i > 0)
      out += ',';
    out += byte;
  }
  return out;
}

}  // namespace

RegistryFile::RegistryFile(std::string path, std::string root_name)
    : path_(std::move(path)), root_name_(std::move(root_name)) {
  Load();
}

RegistryFile::~RegistryFile() {
  // The last chance to write what is left; whoever wanted to hear of a failure flushed before.
  (void)Flush();
}

void RegistryFile::Load() {
  std::ifstream file(path_, std::ios::binary);
  if (!file)
    return;
  std::string current_key;
  std::string line;
  std::string pending;
  while (std::getline(file, line)) {
    if (line.ends_with('\r'))
      line.pop_back();
    // Long binary values go on over several lines, each but the last ending in "\".
    if (!pending.empty()) {
      const size_t start = line.find_first_not_of(" \t");
      pending += start == std::string::npos ? "" : line.substr(start);
    } else {
      pending = line;
    }
    if (pending.ends_with('\\') && pending.find("=hex") != std::string::npos)
      continue;
    ParseLine(pending, current_key);
    pending.clear();
  }
  if (!pending.empty())
    ParseLine(pending, current_key);
  dirty_ = false;
}

void RegistryFile::ParseLine(const std::string& line, std::string& current_key) {
  std::string_view text = line;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  if (text.empty() || text.starts_with(';') || text == kHeader)
    return;
  if (text.starts_with('[')) {
    current_key.clear();
    const size_t close = text.rfind(']');
    if (close == std::string_view::npos)
      return;
    const std::string_view full = text.substr(1, close - 1);
    // Keys of another root, or keys to delete, are not ours: their values are passed over.
    const std::string prefix = root_name_ + "\\";
    if (Lower(full) == Lower(root_name_))
      return;
    if (!Lower(full).starts_with(Lower(prefix)))
      return;
    current_key = NormalizeKey(full.substr(prefix.size()));
    if (!current_key.empty())
      Ensure(current_key);
    return;
  }
  if (current_key.empty())
    return;
  std::string name;
  size_t pos = 0;
  if (text.starts_with('@')) {
    pos = 1;
  } else if (!ReadQuoted(text, pos, name)) {
    return;
  }
  if (pos >= text.size() || text[pos] != '=')
    return;
  const std::optional<platform::RegValue> value = ParseData(text.substr(pos + 1));
  if (!value)
    return;
  WriteValue(current_key, name, *value);
}

RegistryFile::Key* RegistryFile::Find(const std::string& key) {
  const auto found = keys_.find(Lower(NormalizeKey(key)));
  return found == keys_.end() ? nullptr : &found->second;
}

const RegistryFile::Key* RegistryFile::Find(const std::string& key) const {
  const auto found = keys_.find(Lower(NormalizeKey(key)));
  return found == keys_.end() ? nullptr : &found->second;
}

RegistryFile::Key& RegistryFile::Ensure(const std::string& key) {
  const std::string normal = NormalizeKey(key);
  // Every level above the key exists too, each keeping its first spelling.
  Key* found = nullptr;
  for (size_t end = normal.find('\\');; end = normal.find('\\', end + 1)) {
    const std::string level = normal.substr(0, end);
    auto [it, inserted] = keys_.try_emplace(Lower(level), Key{level, {}, {}});
    if (inserted)
      dirty_ = true;
    found = &it->second;
    if (end == std::string::npos)
      break;
  }
  return *found;
}

bool RegistryFile::KeyExists(const std::string& key) const {
  return Find(key) != nullptr;
}

bool RegistryFile::CreateKey(const std::string& key) {
  if (NormalizeKey(key).empty())
    return false;
  Ensure(key);
  return true;
}

bool RegistryFile::DeleteKey(const std::string& key) {
  const std::string lower = Lower(NormalizeKey(key));
  if (lower.empty() || !keys_.contains(lower))
    return false;
  std::erase_if(keys_, [&](const auto& entry) {
    return entry.first == lower || entry.first.starts_with(lower + "\\");
  });
  dirty_ = true;
  return true;
}

std::optional<platform::RegValue> RegistryFile::ReadValue(const std::string& key,
                                                          const std::string& name) const {
  const Key* found = Find(key);
  if (found == nullptr)
    return std::nullopt;
  const auto at = found->index.find(Lower(name));
  if (at == found->index.end())
    return std::nullopt;
  return found->values[at->second].value;
}

bool RegistryFile::WriteValue(const std::string& key, const std::string& name,
                              const platform::RegValue& value) {
  if (NormalizeKey(key).empty())
    return false;
  Key& target = Ensure(key);
  dirty_ = true;
  const auto [at, inserted] = target.index.try_emplace(Lower(name), target.values.size());
  if (inserted) {
    target.values.push_back({name, value});
  } else {
    target.values[at->second].value = value;  // the first spelling of the name stays
  }
  return true;
}

bool RegistryFile::DeleteValue(const std::string& key, const std::string& name) {
  Key* found = Find(key);
  if (found == nullptr)
    return false;
  const auto at = found->index.find(Lower(name));
  if (at == found->index.end())
    return false;
  found->values.erase(found->values.begin() + static_cast<std::ptrdiff_t>(at->second));
  found->index.clear();
  for (size_t i = 0; i < found->values.size(); ++i)
    found->index.emplace(Lower(found->values[i].name), i);
  dirty_ = true;
  return true;
}

std::vector<std::string> RegistryFile::ValueNames(const std::string& key) const {
  std::vector<std::string> names;
  if (const Key* found = Find(key)) {
    for (const Value& value : found->values)
      names.push_back(value.name);
  }
  return names;
}

std::vector<std::string> RegistryFile::SubkeyNames(const std::string& key) const {
  const std::string normal = NormalizeKey(key);
  const std::string prefix = normal.empty() ? "" : Lower(normal) + "\\";
  std::vector<std::string> names;
  for (const auto& [lower, entry] : keys_) {
    if (!lower.starts_with(prefix) || lower.size() == prefix.size())
      continue;
    if (lower.find('\\', prefix.size()) != std::string::npos)
      continue;
    names.push_back(entry.path.substr(prefix.size()));
  }
  return names;
}

std::string RegistryFile::Serialize() const {
  std::ostringstream out;
  out << kHeader << "\n";
  for (const auto& [lower, key] : keys_) {
    out << "\n[" << root_name_ << "\\" << key.path << "]\n";
    for (const Value& value : key.values) {
      out << (value.name.empty() ? "@" : "\"" + Escape(value.name) + "\"") << "="
          << FormatData(value.value) << "\n";
    }
  }
  return out.str();
}

platform::Result RegistryFile::Flush() {
  if (!dirty_)
    return platform::Result::Done();
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path_.substr(0, slash), 0700))
    return ErrnoResult(false);
  // One temporary file per writing process: two writers never write into each other's.
  const std::string temporary = path_ + "." + std::to_string(::getpid()) + ".tmp";
  {
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!fd.Valid())
      return ErrnoResult(false);
    // The close is checked too: some file systems report a failed write only there.
    if (!WriteAll(fd.Get(), Serialize()) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
      KeepingErrno([&] { ::unlink(temporary.c_str()); });
      return ErrnoResult(false);
    }
  }
  if (::rename(temporary.c_str(), path_.c_str()) != 0) {
    KeepingErrno([&] { ::unlink(temporary.c_str()); });
    return ErrnoResult(false);
  }
  dirty_ = false;
  return platform::Result::Done();
}

}  // namespace tolvane::posix
