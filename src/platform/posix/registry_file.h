#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace tolvane::posix {

// A registry root kept in one text file in the registry export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Orvik\Tolvane]
//   "Bitrate"="128"
//   @="default value"
//   "Count"=dword:00000010
//
// The file is read when the store is made and written back by Flush() and when the store is
// destroyed, through a temporary file, fsync and rename, so a crash leaves the old file or the
// new one, never half of either. Lines that cannot be read are passed over; the rest is kept.
class RegistryFile final : public platform::RegistryStore {
 public:
  RegistryFile(std::string path, std::string root_name);
  ~RegistryFile() override;
  RegistryFile(const RegistryFile&) = delete;
  RegistryFile& operator=(const RegistryFile&) = delete;

  const std::string& Path() const { return path_; }

  bool KeyExists(const std::string& key) const override;
  bool CreateKey(const std::string& key) override;
  bool DeleteKey(const std::string& key) override;
  std::optional<platform::RegValue> ReadValue(const std::string& key,
                                              const std::string& name) const override;
  bool WriteValue(const std::string& key, const std::string& name,
                  const platform::RegValue& value) override;
  bool DeleteValue(const std::string& key, const std::string& name) override;
  std::vector<std::string> ValueNames(const std::string& key) const override;
  std::vector<std::string> SubkeyNames(const std::string& key) const override;
  platform::Result Flush() override;

  // The file's text as Flush() writes it.
  std::string Serialize() const;

 private:
  struct Value {
    std::string name;
    platform::RegValue value;
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
    // Lower-case name to position in `values`, so that a key of many values loads in linear
    // time.
    std::unordered_map<std::string, size_t> index;
  };

  void Load();
  void ParseLine(const std::string& line, std::string& current_key);
  Key* Find(const std::string& key);
  const Key* Find(const std::string& key) const;
  Key& Ensure(const std::string& key);

  std::string path_;
  std::string root_name_;
  // By lower-case path, so a parent sorts before its children.
  std::map<std::string, Key> keys_;
  bool dirty_ = false;
};

}  // namespace tolvane::posix
