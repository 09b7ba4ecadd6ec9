#include "app/startup.h"

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"
#include "support/child_process.h"

namespace tolvane::app {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

struct Fixture {
  TempFolder temp;
  posix::PosixFileSystem files;
  platform::Paths paths{platform::PathStyle::Posix};
  std::string job_list = temp / "tolvane.dat";

  StartupPlan Plan(const std::vector<std::string>& arguments) {
    return PlanStartup(arguments, job_list, files, paths);
  }
};

TEST(Startup, ContinueEndsAtOnceOnlyWithoutAJobList) {
  Fixture f;
  const StartupPlan none = f.Plan({});
  EXPECT_FALSE(none.had_arguments);
  EXPECT_FALSE(none.end_now);

  const StartupPlan absent = f.Plan({"song.wav", "-continue"});
  EXPECT_TRUE(absent.end_now);

  testing::WriteText(f.job_list, "TVFILES");
  const StartupPlan present = f.Plan({"-continue"});
  EXPECT_FALSE(present.end_now);
  EXPECT_TRUE(present.had_arguments) << "the intake is still asked, with nothing to add";
  EXPECT_TRUE(present.names.empty());

  const StartupPlan other_case = f.Plan({"-Continue"});
  EXPECT_EQ(other_case.names, std::vector<std::string>{"-Continue"}) << "the switch is exact";
}

TEST(Startup, NamesKeepTheirOrderAndTheirFolderPartAsTyped) {
  Fixture f;
  testing::WriteText(f.temp / "Track one.wav", "x");
  std::filesystem::create_directory(f.temp / "Music");
  const std::string dotted = f.temp.Path() + "/./Track one.wav";
  const StartupPlan plan = f.Plan(
      {dotted, f.temp / "Music", "relative.wav", f.temp / "missing.wav", "/", f.temp / "Music/"});
  EXPECT_EQ(plan.names, (std::vector<std::string>{dotted, f.temp / "Music", "relative.wav",
                                                  f.temp / "missing.wav", "/", f.temp / "Music/"}));
  EXPECT_EQ(JobListPath("/home/ann/.local/state/tolvane", "/opt/Tolvane/bin/Tolvane"),
            "/home/ann/.local/state/tolvane/Tolvane.dat")
      << "not lower-cased";
}

const std::string kProgram = TOLVANE_BUILD_DIR "/tolvane";

TEST(Startup, ContinueWithoutJobListExitsAtOnceWithCodeZero) {
  TempFolder temp;
  testing::ChildProcess program(kProgram, {"-continue"},
                                {{"XDG_STATE_HOME", temp.Path()},
                                 {"XDG_CONFIG_HOME", temp.Path()},
                                 {"QT_QPA_PLATFORM", "offscreen"}});
  EXPECT_EQ(program.WaitFor(10s), 0);
}

TEST(Startup, TheProgramRunsUntilTerminatedAndThenClosesNormally) {
  TempFolder temp;
  for (int signal_number : {SIGTERM, SIGINT}) {
    testing::ChildProcess program(kProgram, {},
                                  {{"XDG_STATE_HOME", temp.Path()},
                                   {"XDG_CONFIG_HOME", temp.Path()},
                                   {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(program.WaitFor(1500ms), std::nullopt) << "it keeps running";
    program.Signal(signal_number);
    EXPECT_EQ(program.WaitFor(10s), 0) << "signal " << signal_number;
  }
}

}  // namespace
}  // namespace tolvane::app
