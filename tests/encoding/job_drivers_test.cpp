// One job lifecycle, two drivers: the same cases through the window's engine and through
// tolvane-batch, with the files each leaves behind compared.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine_fixture.h"
#include "support/child_process.h"

namespace tolvane::encoding {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBatch = TOLVANE_BUILD_DIR "/tolvane-batch";

// A copy of the fake encoder that carries the version marker of 0.75, which knows no -OUTDIR.
std::string OldEncoder(const testing::TempFolder& temp) {
  const std::string path = temp / "old-encoder";
  std::filesystem::copy_file(testing::FakeEncoderControl::kProgram, path);
  std::ofstream(path, std::ios::app | std::ios::binary)
      << "=======" << std::string(62, ' ') << "0.75" << std::string(4096, ' ');
  return path;
}

struct Case {
  const char* name;
  bool old_encoder = false;
  bool existing = false;  // out/song.mp3 is there before ("old")
  bool replace = true;    // Yes to the question, or --overwrite
  const char* script = "";
  bool tag = false;
  // What both drivers leave: the size of out/song.mp3 (-1 for none); nothing beside the source.
  int64_t out_size = 1000;
  bool encoded = true;
  const char* status = "Completed in ";  // the window's row, from its start
  int batch_exit = 0;
  const char* batch_line = "done ";  // the batch tool's report, from its start
};

const Case kCases[] = {
    {.name = "fresh output"},
    {.name = "existing, replaced", .existing = true},
    {.name = "existing, kept",
     .existing = true,
     .replace = false,
     .out_size = 3,
     .encoded = false,
     .status = "Completed",
     .batch_exit = 1,
     .batch_line = "skipped "},
    {.name = "old encoder over an existing target", .old_encoder = true, .existing = true},
    {.name = "failing encoder",
     .script = "exit 255\n",
     .out_size = -1,
     .encoded = false,
     .status = "Queued",
     .batch_exit = 1,
     .batch_line = "failed "},
    {.name = "tag", .tag = true, .out_size = 1000 + 128},
    {.name = "old encoder and a tag", .old_encoder = true, .tag = true, .out_size = 1000 + 128},
};

void Prepare(const Case& c, const testing::TempFolder& temp,
             const testing::FakeEncoderControl& fake) {
  std::filesystem::create_directories(temp / "out");
  if (c.existing)
    testing::WriteText(temp / "out/song.mp3", "old");
  if (*c.script != '\0')
    fake.Script(c.script);
}

void ExpectFiles(const Case& c, const testing::TempFolder& temp, const std::string& driver) {
  EXPECT_EQ(testing::SizeOf(temp / "out/song.mp3"), c.out_size) << driver << ": " << c.name;
  EXPECT_FALSE(std::filesystem::exists(temp / "song.mp3"))
      << driver << ": " << c.name << ": nothing is left beside the source";
  if (c.tag) {
    const std::string mp3 = testing::ReadText(temp / "out/song.mp3");
    EXPECT_EQ(mp3.substr(mp3.size() - 128, 7), "TAGSong") << driver << ": " << c.name;
  }
}

TEST(JobDrivers, TheWindowAndTheBatchToolEndEachJobAlike) {
  for (const Case& c : kCases) {
    {
      EngineFixture f;
      queue::TFileData& entry = f.Add("song.wav");
      Prepare(c, f.temp, f.fake);
      if (c.old_encoder)
        f.host.options.version_label = "v 0.75";
      f.host.options.output_folder = f.temp / "out/";
      if (c.existing)
        f.prompts.answers = {c.replace};  // the overwrite question
      entry.HasTag = c.tag;
      entry.TagTitle = "Song";
      f.engine.Encode();
      if (f.engine.Running()) {
        ASSERT_TRUE(f.DeliverEnd()) << c.name;
      }
      EXPECT_TRUE(f.Status(0).starts_with(c.status)) << c.name << ": " << f.Status(0);
      EXPECT_EQ(entry.Encoded, c.encoded) << c.name;
      if (c.encoded) {
        EXPECT_EQ(entry.OutputPath, f.temp / "out/song.mp3") << c.name << ": where the MP3 is";
      }
      ExpectFiles(c, f.temp, "window");
    }
    {
      testing::TempFolder temp;
      testing::FakeEncoderControl fake{temp};
      testing::WriteWave(temp / "song.wav", {.data_bytes = 88'200});
      Prepare(c, temp, fake);
      std::vector<std::string> arguments = {
          "--encoder", c.old_encoder ? OldEncoder(temp) : testing::FakeEncoderControl::kProgram,
          "-o", "out", "song.wav"};
      if (c.replace)
        arguments.push_back("--overwrite");
      if (c.tag)
        arguments.insert(arguments.end(), {"--title", "Song"});
      testing::ChildProcess batch(
          kBatch, arguments,
          {{"XDG_CONFIG_HOME", temp / "config"}, {"XDG_STATE_HOME", temp / "state"}},
          temp / "batch.log", temp.Path());
      const std::string log = (batch.WaitFor(60s), testing::ReadText(temp / "batch.log"));
      EXPECT_EQ(batch.WaitFor(0ms), c.batch_exit) << c.name << "\n" << log;
      EXPECT_TRUE(log.starts_with(c.batch_line)) << c.name << "\n" << log;
      ExpectFiles(c, temp, "batch tool");
    }
  }
}

}  // namespace
}  // namespace tolvane::encoding
