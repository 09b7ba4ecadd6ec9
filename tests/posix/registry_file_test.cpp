#include "platform/posix/registry_file.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>

#include "support/audio_files.h"

namespace tolvane::posix {
namespace {

using platform::ReadStatus;
using platform::RegValue;
using testing::ReadText;
using testing::TempFolder;
using testing::WriteText;

constexpr const char* kKey = "SOFTWARE\\Orvik\\Tolvane";

TEST(RegistryFile, RoundTripsValuesOfEveryKindWithEscapes) {
  TempFolder temp;
  const std::string path = temp / "conf/HKEY_CURRENT_USER.reg";
  {
    RegistryFile store(path, "HKEY_CURRENT_USER");
    EXPECT_TRUE(store.WriteString(kKey, "Bitrate", "128"));
    EXPECT_TRUE(store.WriteString(kKey, "Output", "C:\\mp3\\"));
    EXPECT_TRUE(store.WriteString(kKey, "Quote", "say \"hi\"\r\nnext line"));
    EXPECT_TRUE(store.WriteString(kKey, "", "the default"));
    store.WriteValue(kKey, "Count", RegValue::Dword(0x1234abcd));
    store.WriteValue(kKey, "Blob", {platform::reg_type::kBinary, {}, {0, 1, 0xfe}});
    store.WriteValue(kKey, "Multi", {platform::reg_type::kMultiString, {}, {'a', 0, 0}});
  }
  const std::string text = ReadText(path);
  EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n")) << text;
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n\"Bitrate\"=\"128\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\"Output\"=\"C:\\\\mp3\\\\\""), std::string::npos) << text;
  EXPECT_NE(text.find("@=\"the default\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"Count\"=dword:1234abcd"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Blob\"=hex:00,01,fe"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,00"), std::string::npos) << text;

  RegistryFile again(path, "HKEY_CURRENT_USER");
  EXPECT_EQ(again.ReadString(kKey, "Output").text, "C:\\mp3\\");
  EXPECT_EQ(again.ReadString(kKey, "Quote").text, "say \"hi\"\r\nnext line");
  EXPECT_EQ(again.ReadString(kKey, "").text, "the default");
  EXPECT_EQ(again.ReadValue(kKey, "Count"), RegValue::Dword(0x1234abcd));
  EXPECT_EQ(again.ReadValue(kKey, "Blob")->bytes, (std::vector<uint8_t>{0, 1, 0xfe}));
  EXPECT_EQ(again.ValueNames(kKey),
            (std::vector<std::string>{"Bitrate", "Output", "Quote", "", "Count", "Blob", "Multi"}))
      << "values keep their order";
}

TEST(RegistryFile, NamesCompareWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  TempFolder temp;
  RegistryFile store(temp / "r.reg", "HKEY_CURRENT_USER");
  EXPECT_TRUE(store.WriteString("Software\\Orvik\\Tolvane", "BladePath", "one"));
  EXPECT_TRUE(store.WriteString("SOFTWARE\\ORVIK\\TOLVANE", "bladepath", "two"));
  EXPECT_EQ(store.ReadString("software\\orvik\\tolvane", "BLADEPATH").text, "two");
  EXPECT_EQ(store.ValueNames(kKey), std::vector<std::string>{"BladePath"});
  EXPECT_EQ(store.SubkeyNames("SOFTWARE"), std::vector<std::string>{"Orvik"});
  EXPECT_EQ(store.SubkeyNames(""), std::vector<std::string>{"Software"});
  EXPECT_TRUE(store.KeyExists("SOFTWARE\\orvik"));

  // Empty levels name no key: every spelling of a path is the same key, and a file written back
  // loads to the same text, however its keys were spelled.
  EXPECT_TRUE(store.WriteString("\\Software\\\\Orvik\\Tolvane\\", "Extra", "three"));
  EXPECT_EQ(store.ValueNames(kKey), (std::vector<std::string>{"BladePath", "Extra"}));
  WriteText(temp / "odd.reg",
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A\\\\B\\]\n\"x\"=\"1\"\n"
            "[HKEY_CURRENT_USER\\a\\\\\\b]\n\"y\"=\"2\"\n[HKEY_CURRENT_USER\\A\\B\\\\C]\n");
  std::string first;
  {
    RegistryFile odd(temp / "odd.reg", "HKEY_CURRENT_USER");
    EXPECT_EQ(odd.ValueNames("a\\b"), (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(odd.WriteString("A\\B", "z", "3"));
    ASSERT_TRUE(odd.Flush());
    first = ReadText(temp / "odd.reg");
  }
  RegistryFile again(temp / "odd.reg", "HKEY_CURRENT_USER");
  EXPECT_EQ(again.Serialize(), first);
  EXPECT_EQ(again.SubkeyNames("A\\B"), std::vector<std::string>{"C"});
}

TEST(RegistryFile, ReadingAnotherTypeAsTextIsReported) {
  TempFolder temp;
  RegistryFile store(temp / "r.reg", "HKEY_CURRENT_USER");
  store.WriteValue(kKey, "Bitrate", RegValue::Dword(128));
  EXPECT_EQ(store.ReadString(kKey, "Bitrate").status, ReadStatus::WrongType);
  EXPECT_EQ(store.ReadString(kKey, "Nothing").status, ReadStatus::Missing);
  EXPECT_EQ(store.ReadString("SOFTWARE\\Nobody", "x").status, ReadStatus::Missing);
}

// Text stored as UTF-16 bytes, as Windows' own export writes some strings, reads as text and is
// written back byte for byte; writing a new text replaces it with the plain form.
TEST(RegistryFile, TextStoredAsBytesIsReadAndKept) {
  TempFolder temp;
  const std::string header =
      "Windows Registry Editor Version "
      "5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\r\n";
  const std::string stored =
      "\"Output\"=hex(1):2f,00,6d,00,70,00,33,00,00,00\r\n"
      "\"Recent0\"=hex(2):2f,00,e9,00,3d,d8,b5,de,00,00\r\n"
      "\"Path\"=\"/music\"\r\n";
  testing::WriteText(temp / "r.reg", header + stored);
  {
    RegistryFile store(temp / "r.reg", "HKEY_CURRENT_USER");
    EXPECT_EQ(store.ReadString(kKey, "Output").text, "/mp3");
    EXPECT_EQ(store.ReadString(kKey, "Recent0").text, "/\xC3\xA9\xF0\x9F\x9A\xB5");
    EXPECT_TRUE(
        store.WriteString(kKey, "Path", "/other"));  // something changes: the file is written back
  }
  const std::string written = testing::ReadText(temp / "r.reg");
  EXPECT_NE(written.find("\"Output\"=hex(1):2f,00,6d,00,70,00,33,00,00,00"), std::string::npos)
      << written;
  EXPECT_NE(written.find("\"Recent0\"=hex(2):2f,00,e9,00,3d,d8,b5,de,00,00"), std::string::npos);
  RegistryFile store(temp / "r.reg", "HKEY_CURRENT_USER");
  EXPECT_EQ(store.ReadString(kKey, "Output").text, "/mp3");
  EXPECT_TRUE(store.WriteString(kKey, "Output", "/new"));
  EXPECT_NE(store.Serialize().find("\"Output\"=\"/new\""), std::string::npos);
}

TEST(RegistryFile, DeletingAKeyTakesEverythingBelowIt) {
  TempFolder temp;
  RegistryFile store(temp / "r.reg", "HKEY_CLASSES_ROOT");
  EXPECT_TRUE(
      store.WriteString("audio/x-wav\\shell\\Blade it\\command", "", "\"/usr/bin/tolvane\""));
  EXPECT_TRUE(store.WriteString("audio/x-wav\\shell\\Blade it\\ddeexec", "", "[\"%1\"]"));
  EXPECT_TRUE(store.WriteString("audio/x-wav\\shell\\open", "", "keep"));
  EXPECT_TRUE(store.WriteString("audio/x-wav\\shell\\Blade itself", "", "keep too"));
  EXPECT_TRUE(store.DeleteKey("AUDIO/X-WAV\\shell\\blade it"));
  EXPECT_FALSE(store.KeyExists("audio/x-wav\\shell\\Blade it\\command"));
  EXPECT_EQ(store.SubkeyNames("audio/x-wav\\shell"),
            (std::vector<std::string>{"Blade itself", "open"}));
  EXPECT_FALSE(store.DeleteKey("audio/x-wav\\shell\\Blade it"));
  EXPECT_TRUE(store.DeleteValue("audio/x-wav\\shell\\open", ""));
  EXPECT_EQ(store.ReadValue("audio/x-wav\\shell\\open", ""), std::nullopt);
}

TEST(RegistryFile, ADamagedFileKeepsEveryLineThatCanStillBeRead) {
  TempFolder temp;
  const std::string path = temp / "r.reg";
  WriteText(path,
            "Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "\"Orphan\"=\"before any key\"\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\r\n"
            "\"Bitrate\"=\"192\"\r\n"
            "\"Broken\"=\"no end\r\n"
            "garbage line\r\n"
            "\"Count\"=dword:xyz\r\n"
            "\"Long\"=hex:01,02,\\\r\n"
            "  03,04\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane\r\n"
            "\"Tree\"=\"2\"\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
            "\"Foreign\"=\"x\"\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\r\n"
            "\"Path\"=\"/home/ann\"\r\n"
            "\xff\xfe\x00\r\n");
  RegistryFile store(path, "HKEY_CURRENT_USER");
  EXPECT_EQ(store.ValueNames(kKey), (std::vector<std::string>{"Bitrate", "Long", "Path"}));
  EXPECT_EQ(store.ReadValue(kKey, "Long")->bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(store.ReadString(kKey, "Path").text, "/home/ann");
  EXPECT_FALSE(store.KeyExists("SOFTWARE\\Other"));
}

TEST(RegistryFile, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder temp;
  const std::string path = temp / "r.reg";
  {
    RegistryFile store(path, "HKEY_CURRENT_USER");
    EXPECT_TRUE(store.WriteString(kKey, "Bitrate", "128"));
  }
  const std::string before = ReadText(path);
  // The temporary file's place is taken by a folder, so the new text cannot be written.
  std::filesystem::create_directory(path + "." + std::to_string(::getpid()) + ".tmp");
  RegistryFile store(path, "HKEY_CURRENT_USER");
  EXPECT_TRUE(store.WriteString(kKey, "Bitrate", "320"));
  EXPECT_FALSE(store.Flush());
  EXPECT_EQ(ReadText(path), before);

  std::filesystem::remove(path + "." + std::to_string(::getpid()) + ".tmp");
  EXPECT_TRUE(store.Flush());
  EXPECT_EQ(RegistryFile(path, "HKEY_CURRENT_USER").ReadString(kKey, "Bitrate").text, "320");
}

TEST(RegistryFile, NothingIsWrittenWhenNothingChanged) {
  TempFolder temp;
  { RegistryFile store(temp / "r.reg", "HKEY_CURRENT_USER"); }
  EXPECT_FALSE(std::filesystem::exists(temp / "r.reg"));
}

}  // namespace
}  // namespace tolvane::posix
