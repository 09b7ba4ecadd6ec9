#include "shell_verbs.h"

namespace tolvane::shell {

namespace {

constexpr const char* kVerb = "\\shell\\Blade it";
constexpr const char* kOldVerb = "\\shell\\Make mp3";
// The verb's levels, deepest first.
constexpr std::array<const char*, 5> kLevels = {"\\ddeexec\\topic", "\\ddeexec\\application",
                                                "\\ddeexec", "\\command", ""};

// The store refuses only a key without a name, which none of the verb's keys is; whether the
// writes reach the disk is the flush's to say.
void Put(platform::RegistryStore& classes, const std::string& key, const std::string& name,
         const platform::RegValue& value) {
  (void)classes.WriteValue(key, name, value);
}

// A level that is not there is gone already.
void Drop(platform::RegistryStore& classes, const std::string& key) {
  (void)classes.DeleteKey(key);
}

// Copies the values of `from` and, recursively, its subkeys to `to`.
void CopyKey(platform::RegistryStore& classes, const std::string& from, const std::string& to) {
  (void)classes.CreateKey(to);  // named, as Put's keys are
  for (const std::string& name : classes.ValueNames(from)) {
    if (const auto value = classes.ReadValue(from, name))
      Put(classes, to, name, *value);
  }
  for (const std::string& subkey : classes.SubkeyNames(from)) {
    CopyKey(classes, from + "\\" + subkey, to + "\\" + subkey);
  }
}

}  // namespace

std::string TypeKeyOf(const platform::RegistryStore& classes, const VerbEntry& entry) {
  if (entry.is_type_key)
    return entry.mime_type;
  const platform::StringRead named = classes.ReadString(entry.name, "");
  return named.status == platform::ReadStatus::Ok && !named.text.empty() ? named.text
                                                                         : entry.mime_type;
}

void RegisterShellVerb(platform::RegistryStore& classes, const VerbEntry& entry,
                       const std::string& executable) {
  const std::string verb = TypeKeyOf(classes, entry) + kVerb;
  (void)classes.CreateKey(verb);  // named, as Put's keys are
  Put(classes, verb + "\\Command", "", platform::RegValue::String("\"" + executable + "\""));
  Put(classes, verb + "\\ddeexec", "", platform::RegValue::String("[\"%1\"]"));
  Put(classes, verb + "\\ddeexec\\application", "", platform::RegValue::String("tolvane"));
  Put(classes, verb + "\\ddeexec\\topic", "", platform::RegValue::String("bladefiles"));
}

void UnregisterShellVerb(platform::RegistryStore& classes, const VerbEntry& entry) {
  const std::string verb = TypeKeyOf(classes, entry) + kVerb;
  for (const char* level : kLevels)
    Drop(classes, verb + level);
}

void MigrateShellVerb(platform::RegistryStore& classes, const VerbEntry& entry) {
  const std::string type = TypeKeyOf(classes, entry);
  const std::string old_verb = type + kOldVerb;
  if (!classes.KeyExists(old_verb))
    return;
  for (const char* level : kLevels) {
    if (classes.KeyExists(old_verb + level))
      CopyKey(classes, old_verb + level, type + kVerb + level);
  }
  for (const char* level : kLevels)
    Drop(classes, old_verb + level);
}

}  // namespace tolvane::shell
