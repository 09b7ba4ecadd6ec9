#include "shell/shell_verbs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/posix/registry_file.h"
#include "platform/posix/xdg_data_files.h"
#include "shell/freedesktop_verb.h"
#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane::shell {
namespace {

struct Classes {
  testing::TempFolder temp;
  posix::RegistryFile store{temp / "HKEY_CLASSES_ROOT.reg", "HKEY_CLASSES_ROOT"};
  std::string Default(const std::string& key) { return store.ReadString(key, "").text; }
};

TEST(ShellVerbs, RegisteringWritesFiveKeysPerType) {
  Classes c;
  EXPECT_TRUE(c.store.WriteString(".wav", "", "wavfile"));  // an extension that names its type
  EXPECT_TRUE(c.store.WriteString("wavfile\\shell\\open\\command", "", "player \"%1\""));
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
  EXPECT_TRUE(c.store.WriteString(old, "", "Make mp3"));
  EXPECT_TRUE(c.store.WriteString(old + "\\command", "", "\"c:\\old\\tolvex.exe\""));
  EXPECT_TRUE(c.store.WriteString(old + "\\ddeexec", "", "[\"%1\"]"));
  EXPECT_TRUE(c.store.WriteString(old + "\\ddeexec\\application", "", "tolvex"));
  EXPECT_TRUE(c.store.WriteString(old + "\\ddeexec\\topic", "", "bladefiles"));
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

// The files that make "Blade it" real on Linux desktops: a valid desktop entry, and a GNOME Files
// script that hands the selection to the program even when its path needs quoting.
// The program of a desktop entry's Exec key, read as desktops read it: the
// string's escapes first (\\ is one backslash), then the quoting of the first argument.
std::string ExecProgram(const std::string& entry) {
  const size_t at = entry.find("\nExec=") + 6;
  const std::string value = entry.substr(at, entry.find('\n', at) - at);
  std::string unescaped;
  for (size_t i = 0; i < value.size(); ++i)
    unescaped += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
  std::string program;
  for (size_t i = 1; i < unescaped.size() && unescaped[i] != '"'; ++i) {
    if (unescaped[i] == '\\')
      ++i;
    program += unescaped[i];
  }
  size_t percent = 0;
  while ((percent = program.find("%%", percent)) != std::string::npos)
    program.erase(percent++, 1);
  return program;
}

TEST(ShellVerbs, TheDesktopFilesRunTheProgramWithTheSelection) {
  testing::TempFolder temp;
  const std::string program_folder = temp / "My Apps/it's \"here\" $HOME \\ 100%";
  std::filesystem::create_directories(program_folder);
  const std::string program = program_folder + "/tolvane";
  testing::WriteText(program, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$OUT\"\n");
  ::chmod(program.c_str(), 0755);
  posix::XdgDataFiles data(temp / "data");
  ASSERT_TRUE(InstallBladeIt(data, program));

  const std::pair<const char*, unsigned> modes[] = {
      {"applications/tolvane-blade-it.desktop", 0644},
      {"kio/servicemenus/tolvane-blade-it.desktop", 0755},  // KDE runs only executable menus
      {"nautilus/scripts/Blade it", 0755}};
  for (const auto& [file, mode] : modes) {
    struct stat info {};
    ASSERT_EQ(::stat((temp / "data/" + file).c_str(), &info), 0) << file;
    EXPECT_EQ(info.st_mode & 0777, mode) << file;
  }
  const std::string entry = temp / "data/applications/tolvane-blade-it.desktop";
  const std::string validate =
      "desktop-file-validate '" + entry + "' > '" + (temp / "v.txt") + "' 2>&1";
  EXPECT_EQ(std::system(validate.c_str()), 0) << testing::ReadText(temp / "v.txt");
  const std::string text = testing::ReadText(entry);
  EXPECT_NE(text.find("\nMimeType=audio/x-wav;audio/x-aiff;audio/flac;audio/ogg;"
                      "audio/x-vorbis+ogg;audio/x-opus+ogg;\n"),
            std::string::npos)
      << "Open With offers audio only, never folders";
  EXPECT_NE(text.find(" %F\n"), std::string::npos);
  EXPECT_EQ(ExecProgram(text), program) << "the Exec key, read as desktops read it";
  // The type index names the entry for the audio types only.
  const std::string cache = testing::ReadText(temp / "data/applications/mimeinfo.cache");
  EXPECT_NE(cache.find("audio/x-wav=tolvane-blade-it.desktop;"), std::string::npos) << cache;
  EXPECT_EQ(cache.find("inode/directory"), std::string::npos) << cache;
  EXPECT_NE(testing::ReadText(temp / "data/kio/servicemenus/tolvane-blade-it.desktop")
                .find("Name=Blade it"),
            std::string::npos);

  testing::ChildProcess script(temp / "data/nautilus/scripts/Blade it", {"a b.wav", "album"},
                               {{"OUT", temp / "args.txt"}}, {}, temp.Path());
  ASSERT_EQ(script.WaitFor(testing::kHangLimit), 0);
  EXPECT_EQ(testing::ReadText(temp / "args.txt"), "a b.wav\nalbum\n");

  EXPECT_TRUE(RemoveBladeIt(data));
  for (const auto& [file, mode] : modes)
    EXPECT_FALSE(std::filesystem::exists(temp / "data/" + file)) << file;
  EXPECT_EQ(testing::ReadText(temp / "data/applications/mimeinfo.cache").find("tolvane"),
            std::string::npos)
      << "the index forgets the entry";
}

}  // namespace
}  // namespace tolvane::shell
