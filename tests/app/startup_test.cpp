#include "app/startup.h"
#include "app/window_system.h"

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "platform/posix/instance_lock.h"
#include "platform/posix/intake_server.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/registry_file.h"
#include "queue/file_data.h"
#include "settings/job_list.h"
#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/scripted_dialogs.h"

namespace tolvane::app {
namespace {

using namespace std::chrono_literals;
using testing::kHangLimit;
using testing::TempFolder;

struct Fixture {
  TempFolder temp;
  posix::PosixFileSystem files;
  platform::Paths paths{platform::PathStyle::Posix};
  std::string job_list = temp / "tolvane.dat";

  StartupPlan Plan(const std::vector<std::string>& arguments) {
    return PlanStartup(arguments, job_list, "/home/ann/music", files, paths);
  }
};

// X11 through XWayland when the user left the choice to Qt and both displays are there; the
// user's own choice always wins.
TEST(Startup, AWaylandSessionWithXWaylandRunsTheWindowOnX11) {
  const std::pair<DisplayVariables, std::string> cases[] = {
      {{std::nullopt, "wayland-0", ":0"}, "xcb;wayland"},
      {{std::nullopt, "wayland-0", std::nullopt}, ""},
      {{std::nullopt, std::nullopt, ":0"}, ""},
      {{"wayland", "wayland-0", ":0"}, ""},
      {{"", "wayland-0", ":0"}, "xcb;wayland"},
      {{std::nullopt, "", ":0"}, ""},
  };
  for (const auto& [variables, platform] : cases) {
    EXPECT_EQ(PreferredPlatform(variables), platform)
        << variables.qt_platform.value_or("-") << " " << variables.wayland_display.value_or("-")
        << " " << variables.x_display.value_or("-");
  }
}

// The earlier product's settings move once, and the user is told so that once; a move that
// cannot be written says so and why, never that it succeeded.
TEST(Startup, MovedEarlierSettingsAreAnnounced) {
  const std::tuple<const char*, const char*, ui::MessageIcon> cases[] = {
      {"u.reg", "System registry updated succesfully.", ui::MessageIcon::None},
      {"blocked/u.reg", "Failed to set data for 'Tolvane'\rNot a directory",
       ui::MessageIcon::Error},
  };
  for (const auto& [file, text, icon] : cases) {
    TempFolder temp;
    testing::WriteText(temp / "blocked", "a file where the folder would be");
    posix::RegistryFile user(temp / file, "HKEY_CURRENT_USER");
    posix::RegistryFile classes(temp / "c.reg", "HKEY_CLASSES_ROOT");
    testing::ScriptedDialogs dialogs;
    EXPECT_TRUE(user.WriteString("SOFTWARE\\Orvik\\Tolvex", "Bitrate", "192"));
    dialogs.AnswerNext(ui::MessageAnswer::Ok);
    MigrateEarlierSettings(user, classes, dialogs);
    MigrateEarlierSettings(user, classes, dialogs);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, text);
    EXPECT_EQ(dialogs.Messages()[0].caption, "Tolvane 2.99");
    EXPECT_EQ(dialogs.Messages()[0].icon, icon);
  }
}

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
  EXPECT_EQ(other_case.names, std::vector<std::string>{"/home/ann/music/-Continue"})
      << "the switch is exact";
}

TEST(Startup, NamesKeepTheirOrderAndAreMadeAbsolute) {
  Fixture f;
  testing::WriteText(f.temp / "Track one.wav", "x");
  std::filesystem::create_directory(f.temp / "Music");
  const std::string dotted = f.temp.Path() + "/./Track one.wav";
  const StartupPlan plan = f.Plan(
      {dotted, f.temp / "Music", "relative.wav", f.temp / "missing.wav", "/", f.temp / "Music/"});
  EXPECT_EQ(plan.names,
            (std::vector<std::string>{dotted, f.temp / "Music", "/home/ann/music/relative.wav",
                                      f.temp / "missing.wav", "/", f.temp / "Music/"}));
  EXPECT_EQ(settings::JobListPath("/home/ann/.local/state/tolvane", "/opt/Tolvane/bin/Tolvane"),
            "/home/ann/.local/state/tolvane/Tolvane.dat")
      << "not lower-cased";
}

const std::string kProgram = TOLVANE_BUILD_DIR "/tolvane";

TEST(Startup, ContinueWithoutJobListExitsAtOnceWithCodeZero) {
  TempFolder temp;
  const std::map<std::string, std::string> environment = {{"XDG_STATE_HOME", temp.Path()},
                                                          {"XDG_CONFIG_HOME", temp.Path()},
                                                          {"XDG_RUNTIME_DIR", temp / "run"},
                                                          {"QT_QPA_PLATFORM", "offscreen"}};
  testing::ChildProcess program(kProgram, {"-continue"}, environment);
  EXPECT_EQ(program.WaitFor(kHangLimit), 0);

  // --help, -h and --version answer without a display and end, asking no running copy; a file of
  // that name in the current folder is a name like any other.
  const std::pair<const char*, std::string> asked[] = {
      {"--help", "Usage: tolvane [-continue] [FILE|FOLDER]..."},
      {"-h", "Saved queue: " + temp / "tolvane/tolvane.dat"},
      {"--version", "tolvane 2.99c"}};
  for (const auto& [argument, says] : asked) {
    testing::ChildProcess answer(
        kProgram, {argument},
        {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}, {"XDG_STATE_HOME", temp.Path()}},
        temp / "asked.log");
    EXPECT_EQ(answer.WaitFor(kHangLimit), 0) << argument;
    EXPECT_NE(testing::ReadText(temp / "asked.log").find(says), std::string::npos) << argument;
  }
  testing::WriteText(temp / "--help", "");
  posix::PosixFileSystem files;
  EXPECT_EQ(InformationAsked({"--help"}, temp.Path(), files,
                             platform::Paths(platform::PathStyle::Posix), {}),
            std::nullopt);

  // While another program consumes the saved queue (tolvane-batch --continue), the window says
  // who, and does not start.
  std::filesystem::create_directories(temp / "tolvane");
  testing::WriteText(temp / "tolvane/tolvane.dat", "TVFILES");
  posix::InstanceLock batch(temp / "tolvane/tolvane.dat.lock");
  ASSERT_TRUE(batch.Record({::getpid(), 0}));
  testing::ChildProcess held(kProgram, {"-continue"}, environment, temp / "held.log");
  EXPECT_EQ(held.WaitFor(kHangLimit), 1);
  EXPECT_NE(testing::ReadText(temp / "held.log")
                .find("tolvane: the saved queue " + temp / "tolvane/tolvane.dat is in use by "),
            std::string::npos)
      << testing::ReadText(temp / "held.log");
  EXPECT_EQ(testing::ReadText(temp / "tolvane/tolvane.dat"), "TVFILES");
}

// SIGTERM and SIGINT close the program by its normal path, also while a message box waits for
// an answer that nobody will give (the start's "Invalid data type" box), and whatever place the
// settings file gives the window.
TEST(Startup, TheProgramRunsUntilTerminatedAndThenClosesNormally) {
  struct Case {
    int signal_number;
    const char* values;  // settings lines
  };
  const Case cases[] = {
      {SIGTERM, ""},
      {SIGINT, ""},
      {SIGTERM, "\"Bitrate\"=dword:00000080\n"},
      {SIGTERM, "\"Top\"=\"2147483647\"\n\"Left\"=\"-2147483648\"\n"},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "tolvane");
    testing::WriteText(temp / "tolvane/HKEY_CURRENT_USER.reg",
                       "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n" +
                           std::string(c.values));
    testing::ChildProcess program(kProgram, {},
                                  {{"XDG_STATE_HOME", temp.Path()},
                                   {"XDG_CONFIG_HOME", temp.Path()},
                                   {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(program.WaitFor(1500ms), std::nullopt) << "it keeps running: " << c.values;
    program.Signal(c.signal_number);
    EXPECT_EQ(program.WaitFor(kHangLimit), 0) << "signal " << c.signal_number << " " << c.values;
  }
}

// A home for the real program in the test's folder: its settings (the given lines below the
// program's key), state and runtime folders, and the environment that points it there.
struct ProgramHome {
  TempFolder temp;
  std::map<std::string, std::string> environment = {{"XDG_STATE_HOME", temp / "state"},
                                                    {"XDG_CONFIG_HOME", temp / "config"},
                                                    {"XDG_RUNTIME_DIR", temp / "runtime"},
                                                    {"QT_QPA_PLATFORM", "offscreen"}};
  std::string settings = temp / "config/tolvane/HKEY_CURRENT_USER.reg";
  std::string job_list = temp / "state/tolvane/tolvane.dat";
  std::string intake = temp / "runtime/tolvane/tolvane.bladefiles";

  void Settings(const std::string& lines) const {
    std::filesystem::create_directories(temp / "config/tolvane");
    testing::WriteText(settings,
                       "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n" +
                           lines);
  }
};

TEST(Startup, AnUnfinishedQueueOutlivesTheProgram) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  testing::WriteWave(temp / "a.wav", {.data_bytes = 176'400});
  testing::WriteWave(temp / "b.wav", {.data_bytes = 176'400});
  home.Settings("\"Savelist\"=\"1\"\n");
  const auto& environment = home.environment;
  const std::string& job_list = home.job_list;

  {
    testing::ChildProcess first(kProgram, {temp / "a.wav", temp / "b.wav"}, environment);
    EXPECT_EQ(first.WaitFor(3s), std::nullopt);
    first.Signal(SIGTERM);
    ASSERT_EQ(first.WaitFor(kHangLimit), 0);
  }
  const std::string saved = testing::ReadText(job_list);
  ASSERT_TRUE(saved.starts_with("TVFILES")) << "the queue was saved at the close";
  EXPECT_NE(saved.find(temp / "a.wav"), std::string::npos);
  EXPECT_NE(saved.find(temp / "b.wav"), std::string::npos);

  // A list with options and a tag, as an earlier run might have left it.
  const std::string a = temp / "a.wav";
  const std::string handmade =
      "TVFILES" + testing::Int32Bytes(static_cast<int32_t>(a.size())) + a + testing::Int32Bytes(5) +
      testing::Int32Bytes(256) + std::string("\1\0\1\0\0", 5) + testing::Int32Bytes(4) +
      std::string("\1", 1) + testing::Int32Bytes(4) + "Song" + testing::Int32Bytes(6) + "Singer" +
      testing::Int32Bytes(0) + testing::Int32Bytes(4) + "2001" + testing::Int32Bytes(0) +
      testing::Int32Bytes(12) + testing::Int32Bytes(-1);
  testing::WriteText(job_list, handmade);
  {
    // Killed during the session: the saved queue is still there for the next start.
    testing::ChildProcess killed(kProgram, {}, environment);
    EXPECT_EQ(killed.WaitFor(1500ms), std::nullopt);
    killed.Signal(SIGKILL);
    killed.WaitFor(kHangLimit);
  }
  EXPECT_EQ(testing::ReadText(job_list), handmade) << "a kill loses nothing";
  {
    testing::ChildProcess second(kProgram, {}, environment);
    EXPECT_EQ(second.WaitFor(1500ms), std::nullopt);
    second.Signal(SIGTERM);
    ASSERT_EQ(second.WaitFor(kHangLimit), 0);
  }
  EXPECT_EQ(testing::ReadText(job_list), handmade)
      << "the entry came back with its options and tag";
}

// One copy runs per user and executable name. A later start hands its names (a relative one
// resolved where it was started) to the running copy, shows nothing, touches no settings and
// ends with 0; a raw client of the intake is heard too; once the running copy is killed, the
// next start becomes the running copy.
TEST(Startup, ALaterStartHandsItsNamesToTheRunningCopy) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  std::filesystem::create_directories(temp / "album");
  for (const char* name : {"a.wav", "b.wav", "album/c.wav"})
    testing::WriteWave(temp / name, {.data_bytes = 176'400});
  home.Settings("\"Savelist\"=\"1\"\n");
  const std::string& settings = home.settings;
  const auto& environment = home.environment;
  const std::string& intake = home.intake;
  {
    testing::ChildProcess first(kProgram, {}, environment);
    ASSERT_TRUE(testing::Eventually([&] { return std::filesystem::exists(intake); }, kHangLimit));
    const std::string settings_before = testing::ReadText(settings);
    // "-continue" (with a saved queue; without one it ends the start at once) means nothing to
    // the running copy: it is not handed over as a name.
    testing::WriteText(home.job_list, "TVFILES");
    testing::ChildProcess later(kProgram, {"b.wav", "-continue", temp / "a.wav"}, environment, {},
                                temp.Path());
    EXPECT_EQ(later.WaitFor(kHangLimit), 0);
    EXPECT_EQ(testing::ReadText(settings), settings_before) << "the later copy wrote nothing";
    testing::ChildProcess restore_only(kProgram, {}, environment);
    EXPECT_EQ(restore_only.WaitFor(kHangLimit), 0);
    EXPECT_EQ(posix::SendToIntake(intake, {"[\"" + (temp / "album") + "\"]"}), 1);
    first.Signal(SIGTERM);
    ASSERT_EQ(first.WaitFor(kHangLimit), 0);
  }
  const std::string saved = testing::ReadText(temp / "state/tolvane/tolvane.dat");
  const size_t b = saved.find(temp / "b.wav");
  const size_t a = saved.find(temp / "a.wav");
  const size_t c = saved.find(temp / "album/c.wav");
  ASSERT_NE(b, std::string::npos) << "the relative name, resolved where it was given";
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(c, std::string::npos);
  EXPECT_LT(b, a) << "in order";
  EXPECT_LT(a, c);

  {
    testing::ChildProcess crashed(kProgram, {}, environment);
    ASSERT_TRUE(testing::Eventually([&] { return std::filesystem::exists(intake); }, kHangLimit));
    crashed.Signal(SIGKILL);
    crashed.WaitFor(kHangLimit);
  }
  testing::ChildProcess next(kProgram, {}, environment);
  EXPECT_EQ(next.WaitFor(1500ms), std::nullopt) << "the running copy now";
  EXPECT_EQ(posix::SendToIntake(intake, {"restore"}), 1);
  next.Signal(SIGTERM);
  EXPECT_EQ(next.WaitFor(kHangLimit), 0);

  // A lock file that cannot be made (a folder in its place): the copy runs on its own, and its
  // intake still takes names.
  std::filesystem::remove(temp / "state/tolvane/tolvane.dat");
  std::filesystem::remove(temp / "runtime/tolvane/tolvane");
  std::filesystem::create_directories(temp / "runtime/tolvane/tolvane");
  testing::ChildProcess unlocked(kProgram, {}, environment);
  ASSERT_TRUE(testing::Eventually([&] { return std::filesystem::exists(intake); }, kHangLimit));
  EXPECT_EQ(posix::SendToIntake(intake, {"[\"" + (temp / "b.wav") + "\"]"}), 1);
  unlocked.Signal(SIGTERM);
  ASSERT_EQ(unlocked.WaitFor(kHangLimit), 0);
  EXPECT_NE(testing::ReadText(temp / "state/tolvane/tolvane.dat").find(temp / "b.wav"),
            std::string::npos);
}

// A later copy waits for the running copy's answers as long as it lives, however long a box of it
// stays open (here: the copy is held still for longer than any time-out would allow); a running
// copy that dies before it answered ends the later one with 1 and one line that says so.
TEST(Startup, AHandOffWaitsForTheRunningCopyAsLongAsItLives) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  for (const char* name : {"a.wav", "b.wav"})
    testing::WriteWave(temp / name, {.data_bytes = 176'400});
  home.Settings("\"Savelist\"=\"1\"\n");
  const auto& environment = home.environment;
  const std::string& intake = home.intake;
  {
    testing::ChildProcess first(kProgram, {}, environment);
    ASSERT_TRUE(testing::Eventually([&] { return std::filesystem::exists(intake); }, kHangLimit));
    first.Signal(SIGSTOP);
    // "-continue" with nothing saved asks no running copy, however busy it is.
    testing::ChildProcess nothing_saved(kProgram, {"-continue"}, environment);
    EXPECT_EQ(nothing_saved.WaitFor(kHangLimit), 0);
    testing::ChildProcess later(kProgram, {"a.wav", "b.wav"}, environment, temp / "later.log",
                                temp.Path());
    EXPECT_EQ(later.WaitFor(11s), std::nullopt) << "still waiting for the held copy";
    // The wait is the user's to end: a signal ends it, naming what may not have arrived.
    for (const auto& [signal_number, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
      testing::ChildProcess impatient(kProgram, {"c.wav"}, environment, temp / "impatient.log",
                                      temp.Path());
      ASSERT_TRUE(testing::Eventually(
          [&] {
            return testing::ReadText(temp / "impatient.log").find("has a question open") !=
                   std::string::npos;
          },
          kHangLimit));
      impatient.Signal(signal_number);
      EXPECT_EQ(impatient.WaitFor(kHangLimit), code);
      EXPECT_NE(testing::ReadText(temp / "impatient.log")
                    .find("the running copy may not have these names: " + temp / "c.wav"),
                std::string::npos)
          << testing::ReadText(temp / "impatient.log");
    }
    first.Signal(SIGCONT);
    EXPECT_EQ(later.WaitFor(kHangLimit), 0) << testing::ReadText(temp / "later.log");
    first.Signal(SIGTERM);
    ASSERT_EQ(first.WaitFor(kHangLimit), 0);
  }
  const std::string saved = testing::ReadText(temp / "state/tolvane/tolvane.dat");
  EXPECT_NE(saved.find(temp / "a.wav"), std::string::npos) << "every name arrived";
  EXPECT_NE(saved.find(temp / "b.wav"), std::string::npos);

  testing::ChildProcess first(kProgram, {}, environment);
  ASSERT_TRUE(testing::Eventually([&] { return std::filesystem::exists(intake); }, kHangLimit));
  first.Signal(SIGSTOP);
  testing::ChildProcess later(kProgram, {"a.wav"}, environment, temp / "orphan.log", temp.Path());
  EXPECT_EQ(later.WaitFor(1500ms), std::nullopt);
  first.Signal(SIGKILL);
  first.WaitFor(kHangLimit);
  EXPECT_EQ(later.WaitFor(kHangLimit), 1);
  EXPECT_EQ(testing::ReadText(temp / "orphan.log"),
            "tolvane: the running copy ended before it took every name\n");

  // A running copy that does not listen yet (a box of its start is open, a large queue is being
  // restored) is waited for as long as it holds the lock, not for a few seconds.
  std::optional<posix::InstanceLock> starting(std::in_place, temp / "runtime/tolvane/tolvane");
  ASSERT_EQ(starting->GetState(), posix::InstanceLock::State::First);
  ASSERT_TRUE(starting->Record({::getpid(), 0}));
  testing::ChildProcess waiting(kProgram, {"a.wav"}, environment, temp / "waiting.log");
  EXPECT_EQ(waiting.WaitFor(8s), std::nullopt);
  EXPECT_NE(testing::ReadText(temp / "waiting.log").find("tolvane: waiting for the running copy"),
            std::string::npos);
  starting.reset();
  EXPECT_EQ(waiting.WaitFor(kHangLimit), 1);
}

// The intake is heard while a question asked during the start is open: a restored queue that
// starts by itself asks whether to overwrite, and a later copy's name arrives meanwhile.
TEST(Startup, TheIntakeAnswersWhileAStartupQuestionIsOpen) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  for (const char* name : {"a.wav", "b.wav"})
    testing::WriteWave(temp / name, {.data_bytes = 176'400});
  testing::WriteText(temp / "a.mp3", "an older one");  // the restored batch asks about it
  posix::PosixFileSystem files;
  queue::TFileData saved;
  saved.FileName = temp / "a.wav";
  std::filesystem::create_directories(temp / "state/tolvane");
  ASSERT_TRUE(settings::WriteJobList(files, home.job_list, {&saved}));
  home.Settings("\"Savelist\"=\"1\"\n\"Autostart\"=\"1\"\n\"BladePath\"=\"" TOLVANE_BUILD_DIR
                "/bladeenc\"\n");
  const auto& environment = home.environment;
  testing::ChildProcess first(kProgram, {"-continue"}, environment);
  ASSERT_TRUE(
      testing::Eventually([&] { return std::filesystem::exists(home.intake); }, kHangLimit));
  testing::ChildProcess later(kProgram, {temp / "b.wav"}, environment);
  EXPECT_EQ(later.WaitFor(kHangLimit), 0) << "answered while the question is open";
  first.Signal(SIGTERM);  // closes the question unanswered, then the window
  ASSERT_EQ(first.WaitFor(kHangLimit), 0);
  // The handed-over name was queued: it is saved as unfinished, or (when the closed question let
  // the batch go on before the close) it was encoded.
  const std::string queue = testing::ReadText(temp / "state/tolvane/tolvane.dat");
  EXPECT_TRUE(queue.find(temp / "b.wav") != std::string::npos ||
              std::filesystem::exists(temp / "b.mp3"))
      << queue;
  EXPECT_EQ(testing::ReadText(temp / "a.mp3"), "an older one") << "nothing answered Yes";
}

// Killed at random moments during a restored batch, the program leaves a job list that holds
// every entry it had not finished (nothing is lost) and none it had finished well before the
// kill (the list follows the queue at most a second late), twenty times over.
TEST(Startup, AKilledBatchLeavesTheUnfinishedEntriesSaved) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  std::vector<std::string> inputs;
  std::vector<const queue::TFileData*> saved;
  std::vector<queue::TFileData> entries(6);
  for (size_t i = 0; i < entries.size(); ++i) {
    inputs.push_back(temp / ("take" + std::to_string(i) + ".wav"));
    testing::WriteWave(inputs.back(), {.data_bytes = 176'400});
    entries[i].FileName = inputs.back();
    saved.push_back(&entries[i]);
  }
  testing::WriteText(temp / "script.txt", "write 1000\nsleep 150\nexit 0\n");
  std::map<std::string, std::string> environment = home.environment;
  environment["TOLVANE_FAKE_SCRIPT"] = temp / "script.txt";
  home.Settings("\"Savelist\"=\"1\"\n\"Autostart\"=\"1\"\n\"BladePath\"=\"" TOLVANE_BUILD_DIR
                "/tests/fake_bladeenc\"\n");
  posix::PosixFileSystem files;
  std::mt19937 random(20261208);
  for (int run = 0; run < 20; ++run) {
    for (const std::string& input : inputs)
      std::filesystem::remove(std::filesystem::path(input).replace_extension(".mp3"));
    std::filesystem::create_directories(temp / "state/tolvane");
    ASSERT_TRUE(settings::WriteJobList(files, home.job_list, saved));
    {
      testing::ChildProcess program(kProgram, {"-continue"}, environment);
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 4000));
      program.Signal(SIGKILL);
      program.WaitFor(kHangLimit);
    }
    const auto killed_at = std::filesystem::file_time_type::clock::now();
    // An encoder the kill left behind ends by itself once its script is done.
    std::this_thread::sleep_for(400ms);
    std::set<std::string> listed;
    settings::ReadJobList(files, home.job_list, [&](const settings::JobRecordRead& record) {
      listed.insert(record.path);
    });
    for (const std::string& input : inputs) {
      const std::string mp3 = std::filesystem::path(input).replace_extension(".mp3");
      std::error_code error;
      const auto size = std::filesystem::file_size(mp3, error);
      const bool whole = !error && size == 1000;
      if (!listed.contains(input)) {
        EXPECT_TRUE(whole) << "run " << run << ": " << input << " is neither saved nor encoded";
        continue;
      }
      if (whole && std::filesystem::last_write_time(mp3) < killed_at - 2500ms) {
        ADD_FAILURE() << "run " << run << ": " << input << " was finished long before the kill";
      }
    }
  }
}

// The real program, as a user who drops files and walks away sets it up: the batch starts by
// itself, each job's end is seen through the event loop, and the window closes at the end.
TEST(Startup, AnAutostartedBatchRunsToItsEndAndCloses) {
  const ProgramHome home;
  const TempFolder& temp = home.temp;
  const std::vector<std::string> inputs = {temp / "a.wav", temp / "b.wav", temp / "c.wav"};
  for (const std::string& input : inputs)
    testing::WriteWave(input, {.data_bytes = 176'400});
  home.Settings("\"Autostart\"=\"1\"\n\"Close\"=\"1\"\n\"BladePath\"=\"" TOLVANE_BUILD_DIR
                "/bladeenc\"\n");
  testing::ChildProcess program(kProgram, inputs, home.environment);
  ASSERT_EQ(program.WaitFor(kHangLimit), 0) << "closed by itself at the end of the batch";
  for (const std::string& input : inputs) {
    const auto output = std::filesystem::path(input).replace_extension(".mp3");
    EXPECT_GT(std::filesystem::file_size(output), 1000u) << input;
  }
}

// A kill at any moment of a close leaves the settings file and the saved queue each either as it
// was or as the close wrote it, whole.
TEST(Startup, AKillDuringTheCloseLeavesEveryFileWhole) {
  TempFolder temp;
  posix::PosixFileSystem files;
  testing::WriteWave(temp / "a.wav", {.data_bytes = 176'400});
  testing::WriteWave(temp / "b.wav", {.data_bytes = 176'400});
  const std::string settings = temp / "config/tolvane/HKEY_CURRENT_USER.reg";
  const std::string job_list = temp / "state/tolvane/tolvane.dat";
  const std::string a = temp / "a.wav";
  const std::string old_list = "TVFILES" + testing::Int32Bytes(static_cast<int32_t>(a.size())) + a +
                               testing::Int32Bytes(2) + testing::Int32Bytes(128) +
                               std::string(5, '\0') + testing::Int32Bytes(0) +
                               std::string(1, '\0') + testing::Int32Bytes(-1);
  std::mt19937 random(20261208);
  for (int run = 0; run < 12; ++run) {
    std::filesystem::create_directories(temp / "config/tolvane");
    std::filesystem::create_directories(temp / "state/tolvane");
    testing::WriteText(settings,
                       "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n\"Savelist\"=\"1\"\n");
    testing::WriteText(job_list, old_list);
    testing::ChildProcess program(kProgram, {temp / "b.wav"},
                                  {{"XDG_STATE_HOME", temp / "state"},
                                   {"XDG_CONFIG_HOME", temp / "config"},
                                   {"XDG_RUNTIME_DIR", temp / "runtime"},
                                   {"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_EQ(program.WaitFor(800ms), std::nullopt);
    program.Signal(SIGTERM);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40'000));
    program.Signal(SIGKILL);
    program.WaitFor(kHangLimit);

    posix::RegistryFile stored(settings, "HKEY_CURRENT_USER");
    EXPECT_EQ(stored.ReadString("SOFTWARE\\Orvik\\Tolvane", "Savelist").text, "1") << run;
    const std::string list = testing::ReadText(job_list);
    std::vector<std::string> paths;
    settings::ReadJobList(files, job_list, [&](const settings::JobRecordRead& record) {
      paths.push_back(record.path);
    });
    const bool old_one = list == old_list;
    const bool new_one = paths == std::vector<std::string>{a, temp / "b.wav"} &&
                         list.ends_with(testing::Int32Bytes(-1));
    EXPECT_TRUE(old_one || new_one) << "run " << run << ": " << list.size() << " bytes";
  }
}

}  // namespace
}  // namespace tolvane::app
