#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace tolvane::platform {
namespace {

TEST(Pattern, MatchesWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"song.wav", "*.wav", true},
      {"SONG.WAV", "*.wav", true},
      {"song.wav.bak", "*.wav", false},
      {"song.aiff", "*.aif", false},
      {"song.aif", "*.aif", true},
      {"song.AIF", "*.aif", true},
      {"song.aiff", "*.aiff", true},
      {"README", "*.*", true},
      {"a.b.c", "*.*", true},
      {"bladeenc", "bladeenc*", true},
      {"bladeenc-1.0", "bladeenc*", true},
      {"mybladeenc", "bladeenc*", false},
      {"x.wav", "?.wav", true},
      {"xy.wav", "?.wav", false},
      {"", "*", true},
      {"abc", "a*c*", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
  }
}

}  // namespace
}  // namespace tolvane::platform
