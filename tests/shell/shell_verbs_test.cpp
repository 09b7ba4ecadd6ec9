#include "shell/shell_verbs.h"

#include <gtest/gtest.h>

#include "platform/posix/registry_file.h"
#include "support/audio_files.h"

namespace tolvane::shell {
namespace {

struct Classes {
  testing::TempFolder temp;
  posix::RegistryFile store{temp / "HKEY_CLASSES_ROOT.reg", "HKEY_CLASSES_ROOT"};
  std::string Default(const std::string& key) { return store.ReadString(key, "").text; }
};

TEST(ShellVerbs, RegisteringWritesFiveKeysPerType) {
  Classes c;
  c.store.WriteString(".wav", "", "wavfile");  // an extension that names its type
  c.store.WriteString("wavfile\\shell\\open\\command", "", "player \"%1\"");
  for (const VerbEntry& entry : kVerbEntries)
    RegisterShellVerb(c.store, entry, "/opt/My Apps/Tolvane");

  for (const char* type : {"wavfile", "audio/x-aiff", "inode/directory", "inode/mount-point"}) {
    const std::string verb = std::string(type) + "\\shell\\Blade it";
    EXPECT_EQ(c.store.SubkeyNames(verb), (std::vector<std::string>{"Command", "ddeexec"})) << type;
    EXPECT_EQ(c.Default(verb + "\\Command"), "\"/opt/My Apps/Tolvane\"") << "not lower-cased";
    EXPECT_EQ(c.Default(verb + "\\ddeexec"), "[\"%1\"]");
    EXPECT_EQ(c.Default(verb + "\\ddeexec\\application"), "tolvane");
    EXPECT_EQ(c.Default(verb + "\\ddeexec\\topic"), "bladefiles");
    EXPECT_EQ(c.store.ValueNames(verb), std::vector<std::string>{}) << "the verb key has no value";
  }
  EXPECT_FALSE(c.store.KeyExists("audio/x-wav")) << ".wav names its own type";
  EXPECT_EQ(c.store.SubkeyNames("audio/x-aiff\\shell"), std::vector<std::string>{"Blade it"})
      << ".aif and .aiff share one type: one verb";

  for (const VerbEntry& entry : kVerbEntries)
    UnregisterShellVerb(c.store, entry);
  EXPECT_FALSE(c.store.KeyExists("wavfile\\shell\\Blade it"));
  EXPECT_TRUE(c.store.KeyExists("wavfile\\shell\\open\\command")) << "other verbs stay";
  EXPECT_TRUE(c.store.KeyExists("inode/directory\\shell")) << "shell itself stays";
  for (const VerbEntry& entry : kVerbEntries)
    UnregisterShellVerb(c.store, entry);  // no error
}

TEST(ShellVerbs, TheEarlierVerbIsMoved) {
  Classes c;
  const std::string old = "audio/x-wav\\shell\\Make mp3";
  c.store.WriteString(old, "", "Make mp3");
  c.store.WriteString(old + "\\command", "", "\"c:\\old\\tolvex.exe\"");
  c.store.WriteString(old + "\\ddeexec", "", "[\"%1\"]");
  c.store.WriteString(old + "\\ddeexec\\application", "", "tolvex");
  c.store.WriteString(old + "\\ddeexec\\topic", "", "bladefiles");
  MigrateShellVerb(c.store, kVerbEntries[0]);
  const std::string verb = "audio/x-wav\\shell\\Blade it";
  EXPECT_EQ(c.Default(verb), "Make mp3");
  EXPECT_EQ(c.Default(verb + "\\command"), "\"c:\\old\\tolvex.exe\"");
  EXPECT_EQ(c.Default(verb + "\\ddeexec"), "[\"%1\"]");
  EXPECT_EQ(c.Default(verb + "\\ddeexec\\application"), "tolvex");
  EXPECT_EQ(c.Default(verb + "\\ddeexec\\topic"), "bladefiles");
  EXPECT_FALSE(c.store.KeyExists(old));
  MigrateShellVerb(c.store, kVerbEntries[3]);  // nothing to move: nothing happens
  EXPECT_FALSE(c.store.KeyExists("inode/directory"));
}

}  // namespace
}  // namespace tolvane::shell
