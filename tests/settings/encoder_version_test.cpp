#include "settings/encoder_version.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <fstream>

#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"

namespace tolvane::settings {
namespace {

using Outcome = EncoderVersion::Outcome;

// A file of 8 KiB with text placed at given offsets.
std::string Executable(const std::vector<std::pair<size_t, std::string>>& pieces) {
  std::string bytes(8192, 'x');
  for (const auto& [offset, text] : pieces)
    bytes.replace(offset, text.size(), text);
  return bytes;
}

TEST(EncoderVersion, ReadsTheTextAfterTheMarker) {
  struct Case {
    const char* name;
    std::string bytes;
    Outcome outcome;
    const char* label;
  };
  const Case cases[] = {
      {"0.94 at 1069", Executable({{1000, "======="}, {1069, "0.94"}}), Outcome::Found, "v 0.94"},
      {"a longer run", Executable({{1000, "========"}, {1069, "====0.94"}, {1093, "0.80"}}),
       Outcome::Found, "v 0.80"},
      {"trailing blank", Executable({{1000, "======="}, {1069, "1.1 "}}), Outcome::Found, "v ?.??"},
      {"letters", Executable({{1000, "======="}, {1069, "beta"}}), Outcome::Found, "v ?.??"},
      {"leading blank", Executable({{1000, "======="}, {1069, " 1.1"}}), Outcome::Found, "v  1.1"},
      {"second block", Executable({{5000, "======="}, {5069, "2.50"}}), Outcome::Found, "v 2.50"},
      {"run across blocks", Executable({{4093, "======="}, {4162, "2.50"}}), Outcome::NoMarker, ""},
      {"no marker", Executable({}), Outcome::NoMarker, ""},
      {"empty file", "", Outcome::NoMarker, ""},
  };
  for (const Case& c : cases) {
    testing::TempFolder temp;
    testing::WriteText(temp / "bladeenc", c.bytes);
    posix::PosixFileSystem files;
    const EncoderVersion version = ReadEncoderVersion(files, temp / "bladeenc");
    EXPECT_EQ(version.outcome, c.outcome) << c.name;
    EXPECT_EQ(version.label, c.label) << c.name;
  }
  posix::PosixFileSystem files;
  EXPECT_EQ(ReadEncoderVersion(files, "/no/such/encoder").outcome, Outcome::Unreadable);
  // A device or a FIFO is never read: "Use encoder" pointing at one answers at once.
  EXPECT_EQ(ReadEncoderVersion(files, "/dev/zero").outcome, Outcome::Unreadable);
  testing::TempFolder temp;
  ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadEncoderVersion(files, temp / "pipe").outcome, Outcome::Unreadable);
  // A huge file without a marker is searched only so far.
  {
    std::ofstream sparse(temp / "huge", std::ios::binary);
    sparse.seekp(int64_t{1} << 40);
    sparse.put('x');
  }
  EXPECT_EQ(ReadEncoderVersion(files, temp / "huge").outcome, Outcome::NoMarker);
}

TEST(EncoderVersion, DecimalNumbers) {
  for (const char* good : {"0.94", " 1.1", "  12", "1e10", "-1.5", "+3.0"}) {
    EXPECT_TRUE(IsDecimalNumber(good)) << good;
  }
  for (const char* bad : {"1.1 ", "beta", "    ", "1..2", "0x10", ".e1 "}) {
    EXPECT_FALSE(IsDecimalNumber(bad)) << bad;
  }
}

}  // namespace
}  // namespace tolvane::settings
