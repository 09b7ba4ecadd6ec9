// A job on its own: it ends itself once, by what really happened to its encoder.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tolvane::encoding {
namespace {

class NoQuestions final : public JobQuestions {
 public:
  bool ReplaceExisting(const std::string&) override { return true; }
  bool SkipShortOfSpace(const std::string&, SpaceCheck) override { return false; }
};

// A stop meets an encoder that ended before it (its MP3 is kept), one that it kills (the partial
// output goes only when asked to), and one whose end the wait does not see (given up, as a stop).
// Each reports one result, and nothing more comes of a later stop.
TEST(Job, AStopEndsTheJobOnceByWhatTheEncoderDid) {
  struct Case {
    const char* name;
    const char* script;
    uint32_t wait_ms;
    bool delete_stopped;
    JobResult::End end;
    int64_t mp3_size;  // -1: none
  };
  const Case cases[] = {
      {"ended before the stop", "write 100\nexit 0\n", 5000, true, JobResult::End::Completed, 100},
      {"stopped", "write 100\nwait never\n", 5000, true, JobResult::End::Stopped, -1},
      {"stopped, partial kept", "write 100\nwait never\n", 5000, false, JobResult::End::Stopped,
       100},
      {"given up", "write 100\nwait never\n", 0, true, JobResult::End::Stopped, -1},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    queue::TFileData& entry = f.Add("a.wav");
    f.fake.Script(c.script);
    JobSettings settings{.encoder = testing::FakeEncoderControl::kProgram,
                         .version_label = "v 1.00"};
    settings.unfinished = [&] { return UnfinishedOutput{.delete_stopped = c.delete_stopped}; };
    Job job(
        entry, settings,
        {f.files, f.system.paths, f.system.volumes, f.system.processes, f.system.clock, f.loop});
    std::vector<JobResult> results;
    job.OnResult = [&](const JobResult& result) { results.push_back(result); };
    NoQuestions questions;
    ASSERT_EQ(job.Launch(questions), LaunchResult::Started) << c.name;
    if (c.end == JobResult::End::Completed)
      testing::WaitUntilEnded(job.Child());
    else
      testing::WaitForSize(f.temp / "a.mp3", 100);
    StopAndWait([&] { return job.ExitCode() ? std::vector<Job*>{} : std::vector{&job}; }, f.loop,
                f.system.clock, c.wait_ms);
    job.Stop();
    job.GiveUp();
    ASSERT_EQ(results.size(), 1u) << c.name;
    EXPECT_EQ(results[0].end, c.end) << c.name;
    EXPECT_EQ(testing::SizeOf(f.temp / "a.mp3"), c.mp3_size) << c.name;
  }
}

}  // namespace
}  // namespace tolvane::encoding
