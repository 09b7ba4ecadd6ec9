#include "tags/id3_tag.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "tags/genres.h"
#include "tags/id3v2_tag.h"
#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"
#include "support/mp3_inspect.h"

namespace tolvane::tags {
namespace {

TEST(Genres, NumbersAndTheSortedBox) {
  ASSERT_EQ(GenresByNumber().size(), 148u);
  EXPECT_EQ(GenresByNumber()[0], "Blues");
  EXPECT_EQ(GenresByNumber()[147], "Synthpop");
  EXPECT_EQ(GenresByNumber()[144], "Trash Metal");
  EXPECT_EQ(GenresByNumber()[136], "Christian Gangsta");
  const std::pair<const char*, int> cases[] = {{"Blues", 0},         {"Synthpop", 147},
                                               {"Trash Metal", 144}, {"A Capella", 123},
                                               {"Folk/Rock", 81},    {"Alt.Rock", 40}};
  for (const auto& [name, number] : cases) {
    const int index = SortedIndexOf(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_EQ(GenreNumberOf(index), number) << name;
  }
  EXPECT_EQ(GenreNumberOf(-1), 255);
  EXPECT_EQ(GenreNumberOf(148), 255);
  const auto& sorted = SortedGenres();
  for (size_t i = 1; i < sorted.size(); ++i) {
    std::string a(sorted[i - 1]), b(sorted[i]);
    for (char& c : a)
      c = static_cast<char>(std::tolower(c));
    for (char& c : b)
      c = static_cast<char>(std::tolower(c));
    EXPECT_LE(a, b) << "sorted without regard to case at " << i;
  }
}

TEST(Id3Tag, TheRecordLaysOutItsFields) {
  queue::TFileData e;
  e.TagTitle = "A title that is much longer than thirty characters";
  e.TagArtist = "Artist";
  e.TagAlbum = "Album";
  e.TagYear = "19999";
  e.TagComment = "Comment";
  e.TagGenre = SortedIndexOf("Trash Metal");
  const auto record = BuildTag(e);
  const std::string bytes(record.begin(), record.end());
  EXPECT_EQ(bytes.substr(0, 3), "TAG");
  EXPECT_EQ(bytes.substr(3, 30), "A title that is much longer th") << "cut to its field";
  EXPECT_EQ(bytes.substr(33, 30), std::string("Artist") + std::string(24, '\0'));
  EXPECT_EQ(bytes.substr(63, 5), "Album");
  EXPECT_EQ(bytes.substr(93, 4), "1999");
  EXPECT_EQ(bytes.substr(97, 7), "Comment");
  EXPECT_EQ(record[127], 144);
  e.TagGenre = -1;
  EXPECT_EQ(BuildTag(e)[127], 255);

  // Texts are UTF-8 in the program and ISO-8859-1 in the tag, one byte a character.
  const std::pair<std::string, std::string> texts[] = {
      {"Café", std::string("Caf\xE9") + std::string(26, '\0')},
      {"日本 Ω", std::string("?? ?") + std::string(26, '\0')},
      {std::string(40, 'x').replace(0, 1, "é"), "\xE9" + std::string(29, 'x')},
      {"bad \xFF byte", "bad ? byte" + std::string(20, '\0')}};
  for (const auto& [text, field] : texts) {
    e.TagTitle = text;
    const auto latin1 = BuildTag(e);
    EXPECT_EQ(std::string(latin1.begin() + 3, latin1.begin() + 33), field) << text;
  }
}

TEST(Id3Tag, WriteReplacesAndStripCutsOnlyATag) {
  testing::TempFolder temp;
  posix::PosixFileSystem files;
  const std::string audio(1000, 'M');
  testing::WriteText(temp / "song.mp3", audio);
  queue::TFileData e;
  e.OutputPath = temp / "song.mp3";
  e.TagTitle = "Ten chars!";
  WriteTag(files, &e);
  e.TagTitle = "Five.";
  WriteTag(files, &e);
  std::string file = testing::ReadText(temp / "song.mp3");
  ASSERT_EQ(file.size(), 1128u) << "one tag, however often it is written";
  EXPECT_EQ(file.substr(1003, 30), std::string("Five.") + std::string(25, '\0'));

  StripTag(files, &e);
  EXPECT_EQ(testing::ReadText(temp / "song.mp3"), audio);
  StripTag(files, &e);
  EXPECT_EQ(testing::ReadText(temp / "song.mp3"), audio) << "no tag, nothing cut";

  testing::WriteText(temp / "short.mp3", "TAG");
  e.OutputPath = temp / "short.mp3";
  StripTag(files, &e);
  EXPECT_EQ(testing::ReadText(temp / "short.mp3"), "TAG");
  e.OutputPath = temp / "missing.mp3";
  WriteTag(files, &e);
  EXPECT_FALSE(std::filesystem::exists(temp / "missing.mp3"));
  WriteTag(files, nullptr);
}

// Read back with a tag reader: the record alone while it holds the tag whole (the bytes as ever),
// and an ID3v2.3 tag in UTF-16 before the audio beside it when it does not; each tag replaces
// the last, and none takes both off.
TEST(Id3Tag, WhatTheRecordCannotHoldGoesIntoAnId3v2TagBesideIt) {
  testing::TempFolder temp;
  posix::PosixFileSystem files;
  const std::string audio(1000, 'M');
  const std::string path = temp / "song.mp3";
  testing::WriteText(path, audio);
  const SongTag cyrillic{.title = "Кино: Группа крови", .genre = "Rock"};
  const SongTag full{.title = std::string(35, 'x') + " 日本",
                     .album_artist = "Various",
                     .comment = "Ω",
                     .genre = "Post-Rock",
                     .track = 3,
                     .track_total = 12,
                     .disc = 1,
                     .cover = CoverPicture{"image/png", std::string("\x89PNG\0\x01", 6)}};
  const SongTag latin1{.title = "Café"};
  struct Case {
    std::optional<SongTag> tag;
    std::map<std::string, std::string> frames;
    const char* v1_title;
    int v1_genre;
  };
  const Case cases[] = {
      {cyrillic, {{"TIT2", cyrillic.title}, {"TCON", "Rock"}}, "????: ?????? ?????", 17},
      {full,
       {{"TIT2", full.title},
        {"TPE2", "Various"},
        {"COMM", "Ω"},
        {"TCON", "Post-Rock"},
        {"TRCK", "3/12"},
        {"TPOS", "1"},
        {"APIC", "image/png:" + full.cover->data}},
       "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
       255},
      {latin1, {}, "Café", 255},
      {std::nullopt, {}, "", -1},
  };
  for (const Case& c : cases) {
    const std::string name = c.tag ? c.tag->title : "no tag";
    ASSERT_TRUE(PutTags(files, path, c.tag)) << name;
    const testing::Mp3Tags tags = testing::ReadTags(path);
    EXPECT_EQ(tags.id3v2_version, c.frames.empty() ? 0 : 3) << name;
    EXPECT_EQ(tags.frames, c.frames) << name;
    EXPECT_TRUE(tags.texts_in_utf16) << name;
    EXPECT_EQ(tags.v1_title, c.v1_title) << name;
    EXPECT_EQ(tags.v1_genre, c.v1_genre) << name;
    const std::string file = testing::ReadText(path);
    const auto v2 = static_cast<size_t>(Id3v2Length(file));
    EXPECT_EQ(file.substr(v2, audio.size()), audio) << name;
    if (c.frames.empty()) {
      const auto record = c.tag ? BuildTag(*c.tag) : std::array<uint8_t, kTagSize>{};
      EXPECT_EQ(file.substr(audio.size()), c.tag ? std::string(record.begin(), record.end()) : "")
          << name;
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1)
      << "nothing but the MP3";
}

}  // namespace
}  // namespace tolvane::tags
