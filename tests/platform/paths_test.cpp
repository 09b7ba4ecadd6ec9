#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

struct PathCase {
  const char* path;
  const char* folder_part;
  const char* folder_of;
  const char* name;
  const char* display;
  const char* mp3;
  const char* root;
};

void CheckAll(PathStyle style, const std::vector<PathCase>& cases) {
  const Paths paths(style);
  for (const PathCase& c : cases) {
    EXPECT_EQ(paths.FolderPart(c.path), c.folder_part) << c.path;
    EXPECT_EQ(paths.FolderOf(c.path), c.folder_of) << c.path;
    EXPECT_EQ(paths.NamePart(c.path), c.name) << c.path;
    EXPECT_EQ(paths.DisplayName(c.path), c.display) << c.path;
    EXPECT_EQ(paths.WithMp3Extension(c.path), c.mp3) << c.path;
    EXPECT_EQ(paths.Root(c.path), c.root) << c.path;
  }
}

TEST(Paths, WindowsStyle) {
  CheckAll(PathStyle::Windows,
           {
               {"C:\\music\\rock\\song.wav", "C:\\music\\rock\\", "C:\\music\\rock", "song.wav",
                "song", "C:\\music\\rock\\song.mp3", "C:\\"},
               {"C:\\song.wav", "C:\\", "C:\\", "song.wav", "song", "C:\\song.mp3", "C:\\"},
               {"C:song.aiff", "C:", "C:", "song.aiff", "song", "C:song.mp3", "C:"},
               {"my.band\\take.two.wav", "my.band\\", "my.band", "take.two.wav", "take.two",
                "my.band\\take.two.mp3", ""},
               {"D:\\my.band\\noext", "D:\\my.band\\", "D:\\my.band", "noext", "noext",
                "D:\\my.band\\noext.mp3", "D:\\"},
               {"song.wav", "", "", "song.wav", "song", "song.mp3", ""},
               {"/not/a/separator.wav", "", "", "/not/a/separator.wav", "/not/a/separator",
                "/not/a/separator.mp3", ""},
           });
}

TEST(Paths, PosixStyle) {
  CheckAll(PathStyle::Posix,
           {
               {"/music/rock/song.wav", "/music/rock/", "/music/rock", "song.wav", "song",
                "/music/rock/song.mp3", "/"},
               {"/song.wav", "/", "/", "song.wav", "song", "/song.mp3", "/"},
               {"my.band/take.two.WAV", "my.band/", "my.band", "take.two.WAV", "take.two",
                "my.band/take.two.mp3", ""},
               {"/home/a/.hidden", "/home/a/", "/home/a", ".hidden", "", "/home/a/.mp3", "/"},
               {"C:\\x.wav", "", "", "C:\\x.wav", "C:\\x", "C:\\x.mp3", ""},
               {"song", "", "", "song", "song", "song.mp3", ""},
           });
}

TEST(Paths, TrailingSeparator) {
  const Paths windows(PathStyle::Windows);
  const Paths posix(PathStyle::Posix);
  EXPECT_EQ(windows.WithTrailingSeparator("D:\\mp3"), "D:\\mp3\\");
  EXPECT_EQ(windows.WithTrailingSeparator("D:\\mp3\\"), "D:\\mp3\\");
  EXPECT_EQ(posix.WithTrailingSeparator("/srv/mp3"), "/srv/mp3/");
  EXPECT_EQ(posix.WithTrailingSeparator("/"), "/");
  EXPECT_EQ(posix.WithTrailingSeparator(""), "");
}

TEST(Paths, MirroredTreeLevels) {
  struct Case {
    PathStyle style;
    const char* path;
    int depth;
    const char* expected;
  };
  const Case cases[] = {
      {PathStyle::Windows, "C:\\a\\b\\c\\song.wav", 2, "b\\c\\"},
      {PathStyle::Windows, "C:\\a\\b\\c\\song.wav", 1, "c\\"},
      {PathStyle::Windows, "C:\\a\\b\\c\\song.wav", 3, "a\\b\\c\\"},
      {PathStyle::Windows, "C:\\a\\song.wav", 3, "a\\"},
      {PathStyle::Windows, "C:\\song.wav", 3, ""},
      {PathStyle::Windows, "C:\\music\\rock\\song.wav", 1, "rock\\"},
      {PathStyle::Windows, "C:\\a\\b\\song.wav", 0, ""},
      {PathStyle::Posix, "/a/b/c/song.wav", 2, "b/c/"},
      {PathStyle::Posix, "/a/b/c/song.wav", 5, "a/b/c/"},
      {PathStyle::Posix, "/song.wav", 3, ""},
      {PathStyle::Posix, "/a/song.wav", 1, "a/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Paths(c.style).MirroredTreeLevels(c.path, c.depth), c.expected)
        << c.path << " at depth " << c.depth;
  }
}

TEST(Paths, AbsoluteNames) {
  struct Case {
    PathStyle style;
    const char* path;
    const char* current;
    const char* absolute;
  };
  const Case cases[] = {
      {PathStyle::Posix, "song.wav", "/home/u/music", "/home/u/music/song.wav"},
      {PathStyle::Posix, "./live//song.wav", "/home/u/", "/home/u/live/song.wav"},
      {PathStyle::Posix, "../song.wav", "/home/u", "/home/u/../song.wav"},
      {PathStyle::Posix, "takes/", "/srv", "/srv/takes/"},
      {PathStyle::Posix, ".", "/srv/music", "/srv/music"},
      {PathStyle::Posix, ".", "/", "/"},
      {PathStyle::Posix, "song.wav", "/", "/song.wav"},
      {PathStyle::Posix, "/already/there.wav", "/home/u", "/already/there.wav"},
      {PathStyle::Posix, "", "/home/u", ""},
      {PathStyle::Windows, "song.wav", "C:\\music", "C:\\music\\song.wav"},
      {PathStyle::Windows, ".\\a\\b.wav", "D:\\", "D:\\a\\b.wav"},
      {PathStyle::Windows, "C:\\x.wav", "D:\\music", "C:\\x.wav"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Paths(c.style).Absolute(c.path, c.current), c.absolute)
        << c.path << " in " << c.current;
  }
}

}  // namespace
}  // namespace tolvane::platform
