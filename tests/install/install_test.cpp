#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// The installed front-end, started with a file and set to encode it and close, finds the encoder
// installed beside it (not one on the build's paths) and writes the MP3.
void EncodesWithTheEncoderBesideIt(const std::string& bin_folder) {
  TempFolder temp;
  testing::WriteWave(temp / "song.wav", {.data_bytes = 176'400});
  std::filesystem::create_directories(temp / "config/tolvane");
  testing::WriteText(temp / "config/tolvane/HKEY_CURRENT_USER.reg",
                     "Windows Registry Editor Version 5.00\n\n"
                     "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n"
                     "\"Autostart\"=\"1\"\n\"Close\"=\"1\"\n");
  testing::ChildProcess program(bin_folder + "/tolvane", {temp / "song.wav"},
                                {{"XDG_STATE_HOME", temp / "state"},
                                 {"XDG_CONFIG_HOME", temp / "config"},
                                 {"XDG_DATA_HOME", temp / "data"},
                                 {"PATH", "/usr/bin:/bin"},
                                 {"QT_QPA_PLATFORM", "offscreen"}},
                                {}, temp.Path());
  ASSERT_EQ(program.WaitFor(testing::kHangLimit), 0) << bin_folder;
  EXPECT_GT(std::filesystem::file_size(temp / "song.mp3"), 1000u) << bin_folder;
}

// What a shell prints for `command`, standard error included.
std::string Output(const TempFolder& temp, const std::string& command) {
  Shell("(" + command + ") > '" + (temp / "output.txt") + "' 2>&1");
  return testing::ReadText(temp / "output.txt");
}

void HoldsTheProgramsTheEntryAndTheIcons(const std::string& prefix) {
  const std::string entry = prefix + "/share/applications/org.orvik.Tolvane.desktop";
  for (const std::string& file : {prefix + "/bin/tolvane", prefix + "/bin/bladeenc", entry})
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string icon = prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                             std::to_string(size) + "/apps/tolvane.png";
    EXPECT_TRUE(std::filesystem::exists(icon)) << icon;
  }
  EXPECT_EQ(Shell("desktop-file-validate '" + entry + "'"), 0);
}

// The manual pages render without a warning, and the batch tool's names every option its
// --help names; each shell's completion reads, and bash's completes an option and a genre; the
// AppStream metadata is valid and names the desktop entry.
void HoldsTheManualsTheCompletionAndTheMetadata(const std::string& prefix) {
  TempFolder temp;
  for (const char* page : {"tolvane", "tolvane-batch", "bladeenc"}) {
    const std::string file = prefix + "/share/man/man1/" + page + ".1.gz";
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(Output(temp, "MANWIDTH=80 man --warnings -l '" + file + "' > /dev/null"), "") << page;
  }
  const std::string manual =
      Output(temp, "MANWIDTH=200 man -l '" + prefix + "/share/man/man1/tolvane-batch.1.gz'");
  const std::string help = Output(temp, "'" + prefix + "/bin/tolvane-batch' --help");
  std::istringstream words(help);
  int options = 0;
  for (std::string word; words >> word;) {
    while (!word.empty() && (word.back() == ',' || word.back() == '.'))
      word.pop_back();
    if (!word.starts_with("-") || word.size() < 2)
      continue;
    ++options;
    EXPECT_NE(manual.find(word), std::string::npos) << word << " is missing from the manual";
  }
  EXPECT_GT(options, 25);

  const std::string completion = prefix + "/share/bash-completion/completions/tolvane-batch";
  const std::string zsh = prefix + "/share/zsh/vendor-completions/_tolvane-batch";
  const std::string fish = prefix + "/share/fish/vendor_completions.d/tolvane-batch.fish";
  EXPECT_EQ(Shell("bash -n '" + completion + "'"), 0);
  EXPECT_EQ(Shell("zsh -n '" + zsh + "'"), 0);
  EXPECT_EQ(Shell("fish --no-execute '" + fish + "'"), 0);
  testing::WriteText(temp / "complete.sh",
                     "source \"$1\"; shift; COMP_WORDS=(tolvane-batch \"$@\"); COMP_CWORD=$#\n"
                     "_tolvane_batch; printf '%s\\n' \"${COMPREPLY[@]}\"\n");
  const std::string complete =
      "PATH='" + prefix + "/bin':$PATH bash '" + (temp / "complete.sh") + "' '" + completion + "'";
  EXPECT_EQ(Output(temp, complete + " --gen"), "--genre\n") << "the option";
  EXPECT_EQ(Output(temp, complete + " --genre 'Classic R'"), "Classic Rock\n") << "a genre";

  const std::string metainfo = prefix + "/share/metainfo/org.orvik.Tolvane.metainfo.xml";
  EXPECT_EQ(Shell("appstreamcli validate --no-net '" + metainfo + "' > /dev/null"), 0)
      << Output(temp, "appstreamcli validate --no-net '" + metainfo + "'");
  EXPECT_NE(testing::ReadText(metainfo).find(
                "<launchable type=\"desktop-id\">org.orvik.Tolvane.desktop</launchable>"),
            std::string::npos);
}

TEST(Install, TheInstalledTreeRuns) {
  TempFolder temp;
  const std::string prefix = temp / "prefix";
  ASSERT_EQ(Shell("'" TOLVANE_CMAKE "' --install '" TOLVANE_BUILD_DIR "' --prefix '" + prefix +
                  "' > /dev/null"),
            0);
  HoldsTheProgramsTheEntryAndTheIcons(prefix);
  HoldsTheManualsTheCompletionAndTheMetadata(prefix);
  EncodesWithTheEncoderBesideIt(prefix + "/bin");
}

TEST(Install, TheDebianPackageHoldsTheSameAndRuns) {
  TempFolder temp;
  ASSERT_EQ(
      Shell("'" TOLVANE_CPACK "' -G DEB --config '" TOLVANE_BUILD_DIR "/CPackConfig.cmake' -B '" +
            (temp / "out") + "' > /dev/null"),
      0);
  const std::string package = temp / "out/tolvane_2.99_amd64.deb";
  ASSERT_TRUE(std::filesystem::exists(package));
  EXPECT_EQ(Shell("dpkg-deb -f '" + package + "' Depends | grep -q libqt6widgets6"), 0);
  ASSERT_EQ(Shell("dpkg-deb -x '" + package + "' '" + (temp / "root") + "'"), 0);
  HoldsTheProgramsTheEntryAndTheIcons(temp / "root/usr");
  HoldsTheManualsTheCompletionAndTheMetadata(temp / "root/usr");
  EncodesWithTheEncoderBesideIt(temp / "root/usr/bin");
  // Debian's own checks: no error (the warnings left are named in the README).
  EXPECT_EQ(Shell("lintian --fail-on error '" + package + "' > '" + (temp / "lintian.txt") + "'"),
            0)
      << testing::ReadText(temp / "lintian.txt");
}

}  // namespace
}  // namespace tolvane
