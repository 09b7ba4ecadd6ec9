#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
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
  ASSERT_EQ(program.WaitFor(30s), 0) << bin_folder;
  EXPECT_GT(std::filesystem::file_size(temp / "song.mp3"), 1000u) << bin_folder;
}

void HoldsTheProgramsTheEntryAndTheIcons(const std::string& prefix) {
  for (const char* file : {"bin/tolvane", "bin/bladeenc", "share/applications/tolvane.desktop"})
    EXPECT_TRUE(std::filesystem::exists(prefix + "/" + file)) << file;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string icon = prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                             std::to_string(size) + "/apps/tolvane.png";
    EXPECT_TRUE(std::filesystem::exists(icon)) << icon;
  }
  EXPECT_EQ(Shell("desktop-file-validate '" + prefix + "/share/applications/tolvane.desktop'"), 0);
}

TEST(Install, TheInstalledTreeRuns) {
  TempFolder temp;
  const std::string prefix = temp / "prefix";
  ASSERT_EQ(Shell("'" TOLVANE_CMAKE "' --install '" TOLVANE_BUILD_DIR "' --prefix '" + prefix +
                  "' > /dev/null"),
            0);
  HoldsTheProgramsTheEntryAndTheIcons(prefix);
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
  EncodesWithTheEncoderBesideIt(temp / "root/usr/bin");
}

}  // namespace
}  // namespace tolvane
