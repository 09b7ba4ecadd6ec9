#include <sys/stat.h>

#include <gtest/gtest.h>
#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"

namespace tolvane::posix {
namespace {

using testing::TempFolder;
using testing::WriteText;

TEST(FileSystem, ReadsWritesTruncatesAndTellsFilesFromFolders) {
  TempFolder temp;
  PosixFileSystem fs;
  const std::string path = temp / "data.bin";
  {
    auto file = fs.Open(path, platform::OpenMode::CreateTruncate);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->WriteAt(0, "abcdef", 6));
    ASSERT_TRUE(file->WriteAt(10, "Z", 1));
    EXPECT_EQ(file->Size(), 11);
  }
  auto file = fs.Open(path, platform::OpenMode::Read);
  ASSERT_NE(file, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(file->ReadAt(2, buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "cde");
  EXPECT_EQ(file->ReadAt(9, buffer, 16), 2) << "a read past the end returns what there is";
  EXPECT_EQ(file->ReadAt(100, buffer, 4), 0);

  auto writable = fs.Open(path, platform::OpenMode::ReadWrite);
  ASSERT_TRUE(writable->Truncate(4));
  EXPECT_EQ(file->Size(), 4);

  EXPECT_TRUE(fs.FileExists(path));
  EXPECT_FALSE(fs.FolderExists(path));
  EXPECT_TRUE(fs.FolderExists(temp.Path()));
  EXPECT_FALSE(fs.FileExists(temp.Path()));
  EXPECT_EQ(fs.Open(temp.Path(), platform::OpenMode::Read), nullptr) << "a folder is no file";
  EXPECT_EQ(fs.Open(temp / "missing", platform::OpenMode::Read), nullptr);

  // Nothing that is no regular file is opened, and opening it never waits for a writer.
  ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);
  for (const auto mode : {platform::OpenMode::Read, platform::OpenMode::ReadWrite,
                          platform::OpenMode::CreateTruncate}) {
    EXPECT_EQ(fs.Open(temp / "pipe", mode), nullptr);
    EXPECT_EQ(fs.Open("/dev/null", mode), nullptr);
  }
  EXPECT_TRUE(fs.Exists(temp / "pipe"));
  EXPECT_FALSE(fs.FileExists(temp / "pipe"));
  EXPECT_FALSE(fs.Exists(temp / "missing"));
}

TEST(FileSystem, MovesDeletesAndCreatesOneFolderLevel) {
  TempFolder temp;
  PosixFileSystem fs;
  WriteText(temp / "a.mp3", "new");
  WriteText(temp / "b.mp3", "old");
  EXPECT_FALSE(fs.Move(temp / "a.mp3", temp / "b.mp3")) << "an existing target stays";
  EXPECT_EQ(testing::ReadText(temp / "b.mp3"), "old");
  EXPECT_TRUE(fs.Delete(temp / "b.mp3"));
  EXPECT_TRUE(fs.Move(temp / "a.mp3", temp / "b.mp3"));
  EXPECT_EQ(testing::ReadText(temp / "b.mp3"), "new");
  EXPECT_FALSE(fs.Delete(temp / "a.mp3"));

  EXPECT_TRUE(fs.CreateFolder(temp / "out"));
  EXPECT_FALSE(fs.CreateFolder(temp / "out")) << "it exists";
  EXPECT_FALSE(fs.CreateFolder(temp / "x/y")) << "one level only";
}

// A move to another file system copies, syncs and only then deletes the original.
TEST(FileSystem, MovesAcrossFileSystems) {
  TempFolder temp;
  const std::string other = "/dev/shm/tolvane-move-" + std::to_string(::getpid());
  struct stat here {
  }, there{};
  if (::stat(temp.Path().c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
      here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system here";
  }
  PosixFileSystem fs;
  const std::string bytes(3'000'000, 'M');
  WriteText(temp / "song.mp3", bytes);
  ASSERT_TRUE(fs.Move(temp / "song.mp3", other));
  EXPECT_FALSE(std::filesystem::exists(temp / "song.mp3"));
  EXPECT_EQ(testing::ReadText(other), bytes);

  WriteText(temp / "song.mp3", "new");
  EXPECT_FALSE(fs.Move(temp / "song.mp3", other)) << "an existing target stays";
  EXPECT_EQ(testing::ReadText(temp / "song.mp3"), "new");
  std::filesystem::remove(other);
  EXPECT_FALSE(fs.Move(temp / "song.mp3", "/dev/shm/no-such-folder/song.mp3"));
  EXPECT_EQ(testing::ReadText(temp / "song.mp3"), "new") << "a failed copy keeps the original";
}

TEST(FileSystem, ListsFilesByPatternAndFoldersSorted) {
  TempFolder temp;
  PosixFileSystem fs;
  for (const char* name : {"b.WAV", "a.wav", "c.aiff", "d.aif", "notes.txt", "noext"}) {
    WriteText(temp / name, "x");
  }
  std::filesystem::create_directory(temp / "sub.wav");
  std::filesystem::create_directory(temp / "Alpha");

  EXPECT_EQ(fs.ListFiles(temp.Path(), "*.wav"), (std::vector<std::string>{"a.wav", "b.WAV"}));
  EXPECT_EQ(fs.ListFiles(temp.Path(), "*.aif"), (std::vector<std::string>{"d.aif"}));
  EXPECT_EQ(fs.ListFiles(temp.Path(), "*.*").size(), 6u) << "every file, none of the folders";
  EXPECT_EQ(fs.ListFolders(temp.Path()), (std::vector<std::string>{"Alpha", "sub.wav"}));
  EXPECT_TRUE(fs.ListFiles(temp / "missing", "*.*").empty());
}

TEST(FileSystem, StoredNameIsTheNameAsTheFileSystemHasIt) {
  TempFolder temp;
  PosixFileSystem fs;
  WriteText(temp / "Track one.wav", "x");
  EXPECT_EQ(fs.StoredName(temp / "Track one.wav"), "Track one.wav");
  EXPECT_EQ(fs.StoredName(temp.Path()), std::filesystem::path(temp.Path()).filename().string());
  EXPECT_EQ(fs.StoredName(temp / "track one.wav"), std::nullopt) << "names are case-sensitive";
}

}  // namespace
}  // namespace tolvane::posix
