// tolvane-batch end to end: real files, the bundled encoder, exit statuses and what it prints.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "cli/console_report.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/process.h"
#include "queue/file_data.h"
#include "settings/job_list.h"
#include "support/audio_files.h"
#include "support/child_process.h"
#include "support/fake_encoder_control.h"
#include "support/mp3_inspect.h"
#include "tags/genres.h"
#include "tags/song_tag.h"

namespace tolvane::cli {
namespace {

using namespace std::chrono_literals;
using testing::kHangLimit;
using testing::TempFolder;

constexpr const char* kBatch = TOLVANE_BUILD_DIR "/tolvane-batch";

struct Result {
  int exit_code = -1;
  std::string output;
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream text(output);
    for (std::string line; std::getline(text, line);)
      lines.push_back(line);
    return lines;
  }
};

// Starts tolvane-batch in `temp` with its own (empty) settings and state, its output in
// batch.log; `runner` goes before it on the command line (to run it as another user).
std::unique_ptr<testing::ChildProcess> StartBatch(
    const TempFolder& temp, const std::vector<std::string>& arguments,
    std::map<std::string, std::string> environment = {}, std::vector<std::string> runner = {}) {
  environment.emplace("XDG_CONFIG_HOME", temp / "config");
  environment.emplace("XDG_STATE_HOME", temp / "state");
  runner.push_back(kBatch);
  runner.insert(runner.end(), arguments.begin(), arguments.end());
  const std::string program = runner.front();
  runner.erase(runner.begin());
  return std::make_unique<testing::ChildProcess>(program, runner, environment, temp / "batch.log",
                                                 temp.Path());
}

// Runs tolvane-batch to its end, as StartBatch starts it.
Result RunBatch(const TempFolder& temp, const std::vector<std::string>& arguments,
                std::map<std::string, std::string> environment = {},
                std::vector<std::string> runner = {}) {
  const std::optional<int> code =
      StartBatch(temp, arguments, std::move(environment), std::move(runner))->WaitFor(120s);
  return {code.value_or(-1), testing::ReadText(temp / "batch.log")};
}

void Wave(const std::string& path, int seconds = 1) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  testing::WriteWave(path, {.samples = testing::Tone(44100 * seconds, 2, 44100, 9000, 9000)});
}

TEST(Batch, AFolderWithAnUnsupportedFile) {
  TempFolder temp;
  Wave(temp / "music/a.wav");
  std::filesystem::create_directories(temp / "music/deep");
  testing::WriteAiff(temp / "music/deep/b.aiff", {.frames = 44100});
  testing::WriteText(temp / "music/notes.wav", "not sound");
  testing::WriteWave(temp / "music/low.wav", {.sample_rate = 4000, .data_bytes = 8000});
  // Today's libraries: FLAC, Ogg Vorbis and Opus, and high resolution (resampled to 48 kHz).
  ASSERT_TRUE(testing::WriteEncoded(temp / "music/c.flac", "flac", 44100, 44100));
  ASSERT_TRUE(testing::WriteEncoded(temp / "music/deep/d.ogg", "libvorbis", 44100, 44100));
  ASSERT_TRUE(testing::WriteEncoded(temp / "music/e.opus", "libopus", 48000, 48000));
  testing::WriteWave(temp / "music/hi.wav",
                     {.sample_rate = 96000, .samples = testing::Tone(96000, 2, 96000, 9000, 9000)});
  const Result r = RunBatch(temp, {"music", "-j", "2"});
  EXPECT_EQ(r.exit_code, 1) << r.output;
  for (const char* mp3 : {"music/a.mp3", "music/deep/b.mp3", "music/c.mp3", "music/deep/d.mp3"})
    EXPECT_NEAR(testing::DecodeMp3(temp / mp3).Frames(), 44100, 1152) << mp3;
  for (const char* mp3 : {"music/e.mp3", "music/hi.mp3"}) {
    const testing::DecodedSound sound = testing::DecodeMp3(temp / mp3);
    EXPECT_EQ(sound.sample_rate, 48000) << mp3;
    EXPECT_NEAR(sound.Frames(), 48000, 1152) << mp3;
  }
  // Each refusal says why.
  EXPECT_NE(r.output.find("unsupported  " + (temp / "music/notes.wav") +
                          ": is no sound file it can read (Format not recognised.)"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("unsupported  " + (temp / "music/low.wav") +
                          ": has a sample rate of 4000 Hz (8000 to 192000 Hz are supported)"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(r.output.find('\033'), std::string::npos) << "no control characters in a log";
  EXPECT_EQ(r.Lines().back().rfind("6 encoded, 0 skipped, 2 failed", 0), 0u) << r.output;

  const Result again = RunBatch(temp, {"music/a.wav"});
  EXPECT_EQ(again.exit_code, 1) << "an MP3 that exists is skipped";
  EXPECT_NE(again.output.find("skipped  "), std::string::npos) << again.output;
  EXPECT_EQ(RunBatch(temp, {"--overwrite", "--quiet", "music/a.wav"}).output, "");
  // A partial MP3 (a stopped window job's) is named as such, and --resume encodes it again.
  const std::string a_mp3 = temp / "music/a.mp3";
  std::filesystem::resize_file(a_mp3, std::filesystem::file_size(a_mp3) / 2);
  const Result partial = RunBatch(temp, {"music/a.wav"});
  EXPECT_NE(partial.output.find(a_mp3 + " exists but is incomplete"), std::string::npos)
      << partial.output;
  const Result resumed = RunBatch(temp, {"--resume", "music"});
  EXPECT_EQ(resumed.exit_code, 1) << "the unsupported files still fail";
  EXPECT_NE(resumed.output.find(a_mp3 + ": incomplete, encoded again"), std::string::npos)
      << resumed.output;
  EXPECT_EQ(resumed.Lines().back().rfind("1 encoded, 5 already done, 0 skipped, 2 failed", 0), 0u)
      << resumed.output;
  // Another program's MP3, without an Info frame, is measured by walking its frames.
  const std::string shine = "ffmpeg -v quiet -y -i '" + (temp / "music/c.flac") +
                            "' -c:a libshine -write_xing 0 '" + (temp / "music/c.mp3") + "'";
  ASSERT_EQ(std::system(shine.c_str()), 0);
  EXPECT_EQ(RunBatch(temp, {"--resume", "music/a.wav", "music/c.flac", "music/deep"}).exit_code, 0)
      << "a rerun over finished output succeeds";
}

// What cannot be read is named with the system's reason, never taken for "nothing there" or
// "unsupported". Root reads everything, so root runs the tool as nobody.
TEST(Batch, WhatCannotBeReadIsNamedWithTheReason) {
  TempFolder temp;
  Wave(temp / "lib/good.wav");
  Wave(temp / "lib/locked/x.wav");
  Wave(temp / "lib/secret.wav");
  std::vector<std::string> runner;
  if (::geteuid() == 0) {
    if (!std::filesystem::exists("/usr/bin/setpriv"))
      GTEST_SKIP() << "no setpriv to run as another user";
    runner = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    // A build folder below a private home cannot be entered by nobody.
    const std::string reach =
        "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups test -x '" +
        std::string(TOLVANE_BUILD_DIR) + "/bladeenc'";
    if (std::system(reach.c_str()) != 0)
      GTEST_SKIP() << "nobody cannot run the programs in " TOLVANE_BUILD_DIR;
  }
  using std::filesystem::perms;
  for (const std::string& folder : {temp.Path(), temp / "lib"})
    std::filesystem::permissions(folder, perms::all);
  std::filesystem::permissions(temp / "lib/locked", perms::none);
  std::filesystem::permissions(temp / "lib/secret.wav", perms::none);
  std::filesystem::create_directory(temp / "ro");
  std::filesystem::permissions(
      temp / "ro", perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec);
  const std::string denied = ": Permission denied";
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{"lib"},
       {"cannot read  " + (temp / "lib/locked/") + denied,
        "cannot read  " + (temp / "lib/secret.wav") + denied, "1 encoded, 0 skipped, 2 failed"}},
      {{"--dry-run", "lib/locked", "lib/locked/x.wav"},
       {"cannot read  " + (temp / "lib/locked/") + denied,
        "cannot read  " + (temp / "lib/locked/x.wav") + denied}},
      // A folder that exists, where nothing may be written.
      {{"-o", "ro", "lib/good.wav"}, {"cannot write in " + (temp / "ro") + denied}},
  };
  for (const auto& [arguments, lines] : cases) {
    const Result r = RunBatch(temp, arguments, {{"ASAN_OPTIONS", "detect_leaks=0"}}, runner);
    EXPECT_EQ(r.exit_code, 1) << arguments.back();
    for (const std::string& line : lines)
      EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
  }
  std::filesystem::permissions(temp / "lib/locked", perms::owner_all);
}

// Two inputs whose MP3 would be one file: the first is encoded, the second is not even started
// and is named with the first; --dry-run says so too. With --tree they are two files again.
TEST(Batch, TwoInputsNeverWriteOneMp3) {
  TempFolder temp;
  Wave(temp / "lib/a/x.wav", 1);
  Wave(temp / "lib/b/x.wav", 2);
  const std::string skipped = "skipped  " + (temp / "lib/b/x.wav") +
                              ": would write the same MP3 as " + (temp / "lib/a/x.wav");
  const Result dry = RunBatch(temp, {"--dry-run", "-o", "out", "lib"});
  EXPECT_EQ(dry.exit_code, 1);
  EXPECT_NE(dry.output.find(skipped), std::string::npos) << dry.output;
  const Result r = RunBatch(temp, {"-j", "2", "-o", "out", "lib"});
  EXPECT_EQ(r.exit_code, 1) << r.output;
  EXPECT_NE(r.output.find(skipped), std::string::npos) << r.output;
  EXPECT_NEAR(testing::DecodeMp3(temp / "out/x.mp3").Frames(), 44100, 1152) << "a's, whole";
  EXPECT_EQ(r.Lines().back().rfind("1 encoded, 1 skipped, 0 failed", 0), 0u) << r.output;
  const Result tree = RunBatch(temp, {"-j", "2", "-o", "tree", "--tree", "1", "lib"});
  EXPECT_EQ(tree.exit_code, 0) << tree.output;
}

// A failed encoder says why, in its own words: a full disk reads as such.
TEST(Batch, AFailedEncoderSaysWhy) {
  TempFolder temp;
  Wave(temp / "a.wav");
  const Result r = RunBatch(temp, {"--encoder", TOLVANE_BUILD_DIR "/bladeenc", "a.wav"},
                            {{"LD_PRELOAD", TOLVANE_BUILD_DIR "/tests/libtolvane_fail_io.so"},
                             {"TOLVANE_FAIL_CALL", "write"},
                             {"TOLVANE_FAIL_SUFFIX", ".mp3"},
                             {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"}});
  EXPECT_EQ(r.exit_code, 1);
  const std::string failed =
      "failed   " + (temp / "a.wav") + ": the encoder failed (exit code 255)";
  ASSERT_NE(r.output.find(failed), std::string::npos) << r.output;
  const std::string line = r.output.substr(r.output.find(failed));
  EXPECT_NE(line.substr(0, line.find('\n')).find("No space left on device"), std::string::npos)
      << r.output;

  // A source cut short (half copied) fails with where it ends; nothing passes for its MP3, and
  // it stays.
  testing::WriteWave(temp / "cut.wav", {.data_bytes = 20 * 176'400});
  std::filesystem::resize_file(temp / "cut.wav", 1000);
  ASSERT_TRUE(testing::WriteEncoded(temp / "half.flac", "flac", 44100, 10 * 44100));
  std::filesystem::resize_file(temp / "half.flac",
                               std::filesystem::file_size(temp / "half.flac") / 3);
  const Result cut = RunBatch(temp, {"--delete-source", "cut.wav", "half.flac"});
  EXPECT_EQ(cut.exit_code, 1);
  for (const std::string ends : {"cut.wav ends at 00:00 of 00:20", "half.flac ends at 00:0"}) {
    EXPECT_NE(cut.output.find(": bladeenc: " + (temp / ends)), std::string::npos) << cut.output;
  }
  EXPECT_NE(cut.output.find(" of 00:10"), std::string::npos) << cut.output;
  for (const char* name : {"cut.mp3", "half.mp3"})
    EXPECT_FALSE(std::filesystem::exists(temp / name)) << name;
  EXPECT_TRUE(std::filesystem::exists(temp / "cut.wav"));
  EXPECT_TRUE(std::filesystem::exists(temp / "half.flac"));
}

// Every path below `folder` whose last part `matches`.
std::vector<std::string> PathsBelow(const std::string& folder,
                                    const std::function<bool(const std::string&)>& matches) {
  std::vector<std::string> found;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    if (matches(item.path().filename()))
      found.push_back(item.path());
  }
  return found;
}

std::vector<std::string> FilesNamed(const std::string& folder, const std::string& name) {
  return PathsBelow(folder, [&](const std::string& last) { return last == name; });
}

// The hidden folders runs write into until their MP3 files are complete.
std::vector<std::string> StagingFolders(const std::string& folder) {
  return PathsBelow(folder,
                    [](const std::string& last) { return last.starts_with(".tolvane-partial-"); });
}

TEST(Batch, TheTreeIsMirroredAndTheTagWritten) {
  TempFolder temp;
  Wave(temp / "a/b/c/song.wav");
  const Result r =
      RunBatch(temp, {"-o", "out", "--tree", "2", "--title", "Café", "--artist", "Band", "--year",
                      "1999", "--genre", "trash metal", temp / "a/b/c/song.wav"});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  const std::string mp3 = testing::ReadText(temp / "out/b/c/song.mp3");
  ASSERT_GT(mp3.size(), 128u);
  const std::string expected = "TAG" + std::string("Caf\xE9") + std::string(26, '\0') + "Band" +
                               std::string(26, '\0') + std::string(30, '\0') + "1999" +
                               std::string(30, '\0') + "\x90";
  EXPECT_EQ(mp3.substr(mp3.size() - 128), expected) << "genre 144";

  // An album's own tags and cover are carried over in any script, --genre replaces one field,
  // and --no-source-tags carries nothing.
  std::filesystem::create_directories(temp / "album");
  ASSERT_TRUE(testing::WriteEncoded(temp / "album/01.flac", "flac", 44100, 44100));
  const std::string png("\x89PNG\r\n\x1a\n cover", 14);
  testing::TagFlac(temp / "album/01.flac",
                   {{"TITLE", "Группа крови"},
                    {"ARTIST", "Кино"},
                    {"ALBUM", "Группа крови"},
                    {"ALBUMARTIST", "Кино"},
                    {"DATE", "1988-01-04"},
                    {"TRACKNUMBER", "1"},
                    {"TRACKTOTAL", "11"},
                    {"DISCNUMBER", "1/2"},
                    {"GENRE", "Post-Punk"},
                    {"REPLAYGAIN_TRACK_GAIN", "-7.25 dB"},
                    {"REPLAYGAIN_TRACK_PEAK", "0.988553"},
                    {"REPLAYGAIN_ALBUM_GAIN", "-6.80 dB"},
                    {"REPLAYGAIN_ALBUM_PEAK", "0.999969"}},
                   png);
  ASSERT_EQ(RunBatch(temp, {"--genre", "rock", "album/01.flac"}).exit_code, 0);
  const testing::Mp3Tags tags = testing::ReadTags(temp / "album/01.mp3");
  const std::map<std::string, std::string> frames = {{"TIT2", "Группа крови"},
                                                     {"TPE1", "Кино"},
                                                     {"TALB", "Группа крови"},
                                                     {"TPE2", "Кино"},
                                                     {"TDRC", "1988"},
                                                     {"TRCK", "1/11"},
                                                     {"TPOS", "1/2"},
                                                     {"TCON", "Rock"},
                                                     {"APIC", "image/png:" + png},
                                                     {"TXXX:REPLAYGAIN_TRACK_GAIN", "-7.25 dB"},
                                                     {"TXXX:REPLAYGAIN_TRACK_PEAK", "0.988553"},
                                                     {"TXXX:REPLAYGAIN_ALBUM_GAIN", "-6.80 dB"},
                                                     {"TXXX:REPLAYGAIN_ALBUM_PEAK", "0.999969"}};
  EXPECT_EQ(tags.id3v2_version, 3);
  EXPECT_EQ(tags.frames, frames);
  EXPECT_EQ(tags.v1_title, "?????? ?????");
  EXPECT_EQ(tags.v1_genre, 17);
  EXPECT_NEAR(testing::DecodeMp3(temp / "album/01.mp3").Frames(), 44100, 1152);
  // A WAVE file's LIST-INFO and an AIFF file's NAME chunk.
  ASSERT_TRUE(testing::WriteEncoded(temp / "album/02.wav", "pcm_s16le", 44100, 4410,
                                    {{"title", "Кукушка"}, {"artist", "Кино"}}));
  ASSERT_TRUE(
      testing::WriteEncoded(temp / "album/03.aiff", "pcm_s16be", 44100, 4410, {{"title", "Aiff"}}));
  ASSERT_EQ(RunBatch(temp, {"album/02.wav", "album/03.aiff"}).exit_code, 0);
  EXPECT_EQ(testing::ReadTags(temp / "album/02.mp3").frames,
            (std::map<std::string, std::string>{{"TIT2", "Кукушка"}, {"TPE1", "Кино"}}));
  EXPECT_EQ(testing::ReadTags(temp / "album/03.mp3").v1_title, "Aiff");
  ASSERT_EQ(RunBatch(temp, {"--overwrite", "--no-source-tags", "album/01.flac"}).exit_code, 0);
  EXPECT_EQ(testing::ReadTags(temp / "album/01.mp3").id3v2_version, 0);
  EXPECT_EQ(testing::ReadTags(temp / "album/01.mp3").v1_title, "");

  // --replaygain measures where the source says nothing: a tone 13 dB quieter gets 13 dB more
  // track gain, and both files of the folder one album gain; the FLAC's own values win.
  std::filesystem::create_directories(temp / "rg");
  for (const auto& [name, amplitude] : {std::pair{"rg/loud.wav", 16000}, {"rg/quiet.wav", 3580}})
    testing::WriteWave(temp / name,
                       {.samples = testing::Tone(88200, 2, 44100, amplitude, amplitude)});
  ASSERT_EQ(RunBatch(temp, {"--replaygain", "rg", "--overwrite", "album/01.flac"}).exit_code, 0);
  const auto gain = [&](const char* mp3, const char* key) {
    return std::stod(testing::ReadTags(temp / mp3).frames.at(std::string("TXXX:") + key));
  };
  const double loud = gain("rg/loud.mp3", "REPLAYGAIN_TRACK_GAIN");
  EXPECT_NEAR(gain("rg/quiet.mp3", "REPLAYGAIN_TRACK_GAIN") - loud, 13.0, 0.1);
  const double album = gain("rg/loud.mp3", "REPLAYGAIN_ALBUM_GAIN");
  EXPECT_EQ(gain("rg/quiet.mp3", "REPLAYGAIN_ALBUM_GAIN"), album);
  EXPECT_TRUE(album >= loud && album < loud + 13.0) << album;
  EXPECT_EQ(testing::ReadTags(temp / "album/01.mp3").frames.at("TXXX:REPLAYGAIN_TRACK_GAIN"),
            "-7.25 dB");
  EXPECT_TRUE(StagingFolders(temp.Path()).empty()) << "the encoder's reports went with it";
}

// The window's saved queue, each entry with its own options and tag; the list is gone once
// everything in it is encoded.
TEST(Batch, ContinueEncodesTheWindowsSavedQueue) {
  TempFolder temp;
  Wave(temp / "a.wav");
  // A tagged FLAC track as the window queued it: its entry holds the start of the long title.
  const std::string title = "Звезда по имени Солнце (remastered 2019)";
  ASSERT_TRUE(testing::WriteEncoded(temp / "b.flac", "flac", 44100, 44100));
  testing::TagFlac(temp / "b.flac", {{"TITLE", title}, {"ALBUMARTIST", "Кино"}}, "");
  posix::PosixFileSystem files;
  std::vector<queue::TFileData> entries(2);
  entries[0].FileName = temp / "a.wav";
  entries[0].Bitrate = 192;
  entries[0].StereoMode = 2;  // mono
  entries[0].HasTag = true;
  entries[0].TagTitle = "Первый";
  entries[0].TagGenre = tags::SortedIndexOf("Jazz");
  entries[1].FileName = temp / "b.flac";
  entries[1].Bitrate = 64;
  entries[1].CRCFlag = true;
  entries[1].Tag() = tags::FieldsOf({.title = title});
  std::filesystem::create_directories(temp / "state/tolvane");
  const std::string job_list = temp / "state/tolvane/tolvane.dat";
  ASSERT_TRUE(settings::WriteJobList(files, job_list, {&entries[0], &entries[1]}));
  const std::string saved = testing::ReadText(job_list);

  // While another program consumes the saved queue (a window that runs), it is left alone.
  {
    posix::InstanceLock window(settings::JobListLockPath(job_list));
    ASSERT_TRUE(window.Record({::getpid(), 0}));
    const Result held = RunBatch(temp, {"--continue"});
    EXPECT_EQ(held.exit_code, 1);
    const std::string holder = testing::ReadText("/proc/self/comm");  // with its line end
    EXPECT_NE(held.output.find("the saved queue " + job_list + " is in use by " +
                               holder.substr(0, holder.size() - 1) + " (process " +
                               std::to_string(::getpid()) + ")"),
              std::string::npos)
        << held.output;
    EXPECT_EQ(testing::ReadText(job_list), saved);
    EXPECT_FALSE(std::filesystem::exists(temp / "a.mp3"));
  }

  const Result r = RunBatch(temp, {"--continue"});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  const testing::FrameHeader a = testing::ReadFrameHeaders(temp / "a.mp3").at(5);
  EXPECT_EQ(a.bitrate_kbps, 192);
  EXPECT_EQ(a.channel_mode, 3);
  const testing::Mp3Tags tagged = testing::ReadTags(temp / "a.mp3");
  EXPECT_EQ(tagged.frames.at("TIT2"), "Первый");
  EXPECT_EQ(tagged.v1_title, "??????");
  EXPECT_EQ(tagged.v1_genre, 8);
  const testing::FrameHeader b = testing::ReadFrameHeaders(temp / "b.mp3").at(5);
  EXPECT_EQ(b.bitrate_kbps, 64);
  EXPECT_TRUE(b.crc);
  EXPECT_EQ(testing::ReadTags(temp / "b.mp3").frames,
            (std::map<std::string, std::string>{{"TIT2", title}, {"TPE2", "Кино"}}))
      << "what the record cuts or has no field for is read from the source again";
  EXPECT_FALSE(std::filesystem::exists(job_list)) << "everything in it finished";
}

// A library of long and short tracks: every shard holds about as many bytes (the largest within
// 5 % of the average), every input is in exactly one, and every shard's run deals alike.
TEST(Batch, ShardsOfAboutEqualSizeCoverEveryInputOnce) {
  TempFolder temp;
  std::filesystem::create_directories(temp / "lib/long");
  std::filesystem::create_directories(temp / "lib/short");
  for (int i = 0; i < 6; ++i)
    testing::WriteWave(temp / ("lib/long/" + std::to_string(i) + ".wav"), {.data_bytes = 176'400});
  for (int i = 0; i < 60; ++i)
    testing::WriteWave(temp / ("lib/short/" + std::to_string(i) + ".wav"), {.data_bytes = 17'640});
  std::multiset<std::string> all;
  std::vector<std::string> deals;
  for (const char* shard : {"1/4", "2/4", "3/4", "4/4"}) {
    const Result r = RunBatch(temp, {"--dry-run", "--shard", shard, "lib"});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    std::string deal;
    for (const std::string& line : r.Lines()) {
      if (line.starts_with("shard "))
        deal += line + "\n";
      else
        all.insert(line);
    }
    deals.push_back(deal);
  }
  EXPECT_EQ(all.size(), 66u);
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 66u) << "no input twice";
  EXPECT_EQ(std::set<std::string>(deals.begin(), deals.end()).size(), 1u) << "dealt alike";
  std::istringstream deal(deals.front());
  std::vector<double> bytes;
  for (std::string line; std::getline(deal, line);)
    bytes.push_back(std::stod(line.substr(line.find(", ") + 2)));
  ASSERT_EQ(bytes.size(), 4u) << deals.front();
  const double average = (bytes[0] + bytes[1] + bytes[2] + bytes[3]) / 4;
  EXPECT_LE(*std::max_element(bytes.begin(), bytes.end()), average * 1.05) << deals.front();
}

bool EncodersRunIn(const TempFolder& temp) {
  // A bracket in the pattern finds the encoders' command lines, not the shell's that runs pgrep.
  const std::string path = temp.Path();
  const std::string find =
      "pgrep -f '" + path.substr(0, path.size() - 1) + "[" + path.back() + "]/' > /dev/null";
  return std::system(find.c_str()) == 0;
}

// Waits until an encoder has written `bytes` of `name` somewhere below the temporary folder.
bool EncoderWrote(const TempFolder& temp, const std::string& name, uintmax_t bytes) {
  return testing::Eventually(
      [&] {
        for (const std::string& mp3 : FilesNamed(temp.Path(), name)) {
          std::error_code error;
          if (std::filesystem::file_size(mp3, error) > bytes)
            return true;
        }
        return false;
      },
      kHangLimit);
}

// Ctrl+C stops every encoder, leaves no partial MP3 and ends with 130; an encoder that ended
// already keeps its end.
TEST(Batch, AnInterruptLeavesNothingBehind) {
  TempFolder temp;
  Wave(temp / "long1.wav", 120);
  Wave(temp / "long2.wav", 120);
  const auto batch = StartBatch(temp, {"-j", "2", "long1.wav", "long2.wav"});
  ASSERT_TRUE(EncoderWrote(temp, "long1.mp3", 10'000));
  EXPECT_FALSE(std::filesystem::exists(temp / "long1.mp3")) << "not under its name while partial";
  batch->Signal(SIGINT);
  EXPECT_EQ(batch->WaitFor(kHangLimit), 130) << testing::ReadText(temp / "batch.log");
  EXPECT_TRUE(FilesNamed(temp.Path(), "long1.mp3").empty());
  EXPECT_TRUE(FilesNamed(temp.Path(), "long2.mp3").empty());
  EXPECT_TRUE(StagingFolders(temp.Path()).empty());
  EXPECT_FALSE(EncodersRunIn(temp)) << "no encoder left running";

  // An encoder that ended with 0 in the loop's turn of the signal keeps its end: its MP3 stays.
  // The tool is held stopped while its encoder ends and the signal comes: its loop sees both.
  testing::WriteText(temp / "encoder",
                     "#!/bin/sh\nfor a; do input=$a; done\necho whole > \"${input%.*}.mp3\"\n"
                     "echo $$ > \"$0.pid\"\nwhile [ ! -e \"$0.go\" ]; do sleep 0.01; done\n");
  std::filesystem::permissions(temp / "encoder", std::filesystem::perms::owner_all);
  const auto ending = StartBatch(temp, {"--encoder", temp / "encoder", "long1.wav"});
  const auto state = [&](const std::string& pid) {  // 'T' stopped, 'Z' ended but not reaped
    const std::string stat = testing::ReadText("/proc/" + pid + "/stat");
    return stat.empty() ? ' ' : stat[stat.rfind(')') + 2];
  };
  const auto pid = [&] { return testing::ReadText(temp / "encoder.pid"); };
  ASSERT_TRUE(testing::Eventually([&] { return pid().size() > 1; }, kHangLimit));
  ending->Signal(SIGSTOP);
  ASSERT_TRUE(
      testing::Eventually([&] { return state(std::to_string(ending->Pid())) == 'T'; }, kHangLimit));
  testing::WriteText(temp / "encoder.go", "");
  ASSERT_TRUE(testing::Eventually([&] { return state(pid().substr(0, pid().size() - 1)) == 'Z'; },
                                  kHangLimit));
  ending->Signal(SIGINT);
  ending->Signal(SIGCONT);
  EXPECT_EQ(ending->WaitFor(kHangLimit), 130);
  const std::string log = testing::ReadText(temp / "batch.log");
  EXPECT_EQ(testing::ReadText(temp / "long1.mp3"), "whole\n") << log;
  EXPECT_NE(log.find("interrupted: 1 encoded, 0 skipped, 0 failed, 0 stopped"), std::string::npos)
      << log;
}

// kill -9 of the tool at any moment, with --delete-source: its encoders end with it, every MP3
// under its final name is whole, and every source is there unless its MP3 is. A second run
// finishes the rest.
TEST(Batch, AKilledRunLeavesNothingHalfDone) {
  const int seconds[] = {3, 1, 2, 4};
  for (int attempt = 0; attempt < 20; ++attempt) {
    TempFolder temp;
    for (int i = 0; i < 4; ++i)
      Wave(temp / ("lib/" + std::to_string(i) + ".wav"), seconds[i]);
    const std::vector<std::string> arguments = {"-j", "2", "--delete-source", "-o", "out", "lib"};
    {
      const auto batch = StartBatch(temp, arguments);
      std::this_thread::sleep_for(std::chrono::milliseconds(20 + attempt * 15));
      batch->Signal(SIGKILL);
      batch->WaitFor(kHangLimit);
    }
    EXPECT_TRUE(testing::Eventually([&] { return !EncodersRunIn(temp); }, kHangLimit)) << attempt;
    std::vector<bool> placed(4);
    for (int i = 0; i < 4; ++i) {
      const std::string name = std::to_string(i);
      const bool source = std::filesystem::exists(temp / ("lib/" + name + ".wav"));
      placed[i] = std::filesystem::exists(temp / ("out/" + name + ".mp3"));
      EXPECT_TRUE(source || placed[i]) << attempt << ": " << name << " lost";
      if (placed[i]) {
        EXPECT_NEAR(testing::DecodeMp3(temp / ("out/" + name + ".mp3")).Frames(),
                    44100 * seconds[i], 1152)
            << attempt << ": " << name << " is whole";
      }
    }
    // The rest, with what is in place counted as done. A source whose MP3 was in place before
    // the kill may still be there: the rerun cannot tell that MP3 is this source's own.
    std::vector<std::string> resume = arguments;
    resume.insert(resume.begin(), "--resume");
    const Result rest = RunBatch(temp, resume);
    EXPECT_EQ(rest.exit_code, 0) << rest.output;
    EXPECT_TRUE(StagingFolders(temp.Path()).empty()) << "the killed run's hidden folder went";
    for (int i = 0; i < 4; ++i) {
      const std::string name = std::to_string(i);
      if (!placed[i]) {
        EXPECT_FALSE(std::filesystem::exists(temp / ("lib/" + name + ".wav"))) << rest.output;
      }
      EXPECT_NEAR(testing::DecodeMp3(temp / ("out/" + name + ".mp3")).Frames(), 44100 * seconds[i],
                  1152)
          << attempt << ": " << name;
    }
  }
}

// An encoder that would run for ever ends when the tool is killed with it.
TEST(Batch, ItsEncodersEndWithIt) {
  TempFolder temp;
  Wave(temp / "a.wav");
  testing::WriteText(temp / "encoder",
                     "#!/bin/sh\necho $$ > '" + (temp / "pid") + "'\nexec sleep 1000\n");
  std::filesystem::permissions(temp / "encoder", std::filesystem::perms::owner_all);
  const auto batch = StartBatch(temp, {"--encoder", temp / "encoder", "a.wav"});
  ASSERT_TRUE(
      testing::Eventually([&] { return testing::ReadText(temp / "pid").size() > 1; }, kHangLimit));
  const pid_t encoder = std::stoi(testing::ReadText(temp / "pid"));
  batch->Signal(SIGKILL);
  batch->WaitFor(kHangLimit);
  EXPECT_TRUE(testing::Eventually([&] { return ::kill(encoder, 0) != 0; }, kHangLimit));
  ::kill(encoder, SIGKILL);  // the test leaves nothing running, whatever it found
}

// Another program writing the same MP3 while the job runs (a second shard without --tree):
// that job fails and leaves the other's file as it is.
TEST(Batch, AnMp3ThatAppearsWhileItsJobRunsFailsTheJob) {
  TempFolder temp;
  Wave(temp / "x.wav", 60);
  const auto batch = StartBatch(temp, {"-o", "out", "x.wav"});
  ASSERT_TRUE(EncoderWrote(temp, "x.mp3", 10'000));
  testing::WriteText(temp / "out/x.mp3", "the other writer's");
  ASSERT_EQ(batch->WaitFor(60s), 1);
  const std::string log = testing::ReadText(temp / "batch.log");
  EXPECT_NE(log.find("failed   " + (temp / "x.wav") + ": " + (temp / "out/x.mp3") +
                     " appeared while it was encoded"),
            std::string::npos)
      << log;
  EXPECT_EQ(testing::ReadText(temp / "out/x.mp3"), "the other writer's");
  EXPECT_TRUE(StagingFolders(temp.Path()).empty());
}

TEST(Batch, ABadCommandLineIsOneLineAndExitTwo) {
  TempFolder temp;
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--bogus", "a.wav"}, "'--bogus'"},
      {{"-b", "100", "a.wav"}, "--bitrate: '100'"},
      {{"--mode=surround", "a.wav"}, "--mode: 'surround'"},
      {{"--shard", "3/2", "a.wav"}, "--shard: '3/2'"},
      {{"--genre", "polka-punk", "a.wav"}, "--genre"},
      {{"--jobs"}, "--jobs needs a value"},
      {{"--resume", "--overwrite", "a.wav"}, "exclude each other"},
      {{"-V", "10", "a.wav"}, "--vbr: '10'"},
      {{"-V", "2", "-b", "128", "a.wav"}, "--vbr and --bitrate exclude each other"},
      {{}, "no FILE or FOLDER"},
  };
  for (const auto& [arguments, named] : cases) {
    const Result r = RunBatch(temp, arguments);
    EXPECT_EQ(r.exit_code, 2) << named;
    ASSERT_EQ(r.Lines().size(), 1u) << r.output;
    EXPECT_NE(r.output.find(named), std::string::npos) << r.output;
  }
  EXPECT_EQ(RunBatch(temp, {"--help"}).exit_code, 0);
}

// The window's settings are the defaults; an option overrides each.
TEST(Batch, TheWindowsSettingsAreTheDefaults) {
  TempFolder temp;
  testing::WriteWave(temp / "a.wav", {.data_bytes = 17'640});
  std::filesystem::create_directories(temp / "config/tolvane");
  const std::string settings = temp / "config/tolvane/HKEY_CURRENT_USER.reg";
  const std::string window_settings =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n"
      "\"Bitrate\"=\"320\"\n\"Stereo\"=\"2\"\n\"CRC\"=\"1\"\n"
      "\"BladePath\"=\"/opt/enc/bladeenc\"\n";
  testing::WriteText(settings, window_settings);
  // Each line runs as it is in a shell, and names its MP3's place.
  const std::string place = "  # -> " + (temp / "a.mp3");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--dry-run", "a.wav"},
       "\"/opt/enc/bladeenc\" -QUIT -CRC -MONO -320 -PRIO=Lower \"" + (temp / "a.wav") + "\"" +
           place},
      {{"--dry-run", "-b", "64", "-m", "stereo", "--encoder", "/e", "a.wav"},
       "\"/e\" -QUIT -CRC -64 -PRIO=Lower \"" + (temp / "a.wav") + "\"" + place},
      {{"--dry-run", "-V", "2", "--encoder", "/e", "a.wav"},
       "\"/e\" -QUIT -CRC -MONO -VBR=2 -PRIO=Lower \"" + (temp / "a.wav") + "\"" + place},
  };
  for (const auto& [arguments, line] : cases) {
    const Result r = RunBatch(temp, arguments);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(r.Lines(), std::vector<std::string>{line});
  }

  // The window's target folder, unless --beside; --mirror keeps the tree below a named folder,
  // below its name when there are several, and refuses two of one name. Each plan is run for
  // real: its MP3 files land where it said, every missing level of the output folder made.
  testing::WriteText(settings, window_settings + "\"Output\"=\"" + (temp / "target") + "\"\n");
  for (const char* folder : {"lib/Artist/Album", "other/lib", "pod"})
    std::filesystem::create_directories(temp / folder);
  for (const char* song : {"lib/Artist/Album/01.wav", "other/lib/02.wav", "pod/p.wav"})
    std::filesystem::copy_file(temp / "a.wav", temp / song);
  const std::pair<std::vector<std::string>, std::vector<std::string>> places[] = {
      {{"a.wav"}, {"target/a.mp3"}},
      {{"--beside", "a.wav"}, {"a.mp3"}},
      {{"--mirror", "lib"}, {"target/Artist/Album/01.mp3"}},
      {{"--mirror", "lib", "pod"}, {"target/lib/Artist/Album/01.mp3", "target/pod/p.mp3"}},
      {{"--mirror", "-o", "new/mp3", "lib", "pod"},
       {"new/mp3/lib/Artist/Album/01.mp3", "new/mp3/pod/p.mp3"}},
      {{"--mirror", "lib", "other/lib"}, {"have the same name, and their trees would mix"}},
      {{"--beside", "-o", "x", "a.wav"}, {"--beside and --output-dir exclude each other"}},
      {{"-o", "a.wav/mp3", "a.wav"},
       {"cannot make the folder " + (temp / "a.wav") + ": a file of that name is in the way"}},
      {{"-o", "taken", "a.wav"},
       {"cannot move the MP3 to " + (temp / "taken/a.mp3") + ": Is a directory"}},
  };
  std::filesystem::create_directories(temp / "taken/a.mp3");
  for (const auto& [arguments, expected] : places) {
    const bool lands = expected[0].ends_with(".mp3");
    std::vector<std::string> dry_run = {"--dry-run"};
    dry_run.insert(dry_run.end(), arguments.begin(), arguments.end());
    const Result plan = RunBatch(temp, dry_run);
    for (const std::string& mp3 : lands ? expected : std::vector<std::string>{})
      EXPECT_NE(plan.output.find("# -> " + (temp / mp3)), std::string::npos) << plan.output;
    std::filesystem::remove_all(temp / "target");
    std::filesystem::remove_all(temp / "new");
    std::filesystem::remove(temp / "a.mp3");
    std::vector<std::string> real = {"--encoder", TOLVANE_BUILD_DIR "/bladeenc"};
    real.insert(real.end(), arguments.begin(), arguments.end());
    const Result run = RunBatch(temp, real);
    if (!lands) {
      EXPECT_NE(run.output.find(expected[0]), std::string::npos) << run.output;
      continue;
    }
    EXPECT_EQ(run.exit_code, 0) << run.output;
    for (const std::string& mp3 : expected)
      EXPECT_GT(testing::DecodeMp3(temp / mp3).Frames(), 0) << mp3 << "\n" << run.output;
  }
}

// The README's two scale-out examples with their command lines as the README gives them: the
// library and the output folder are temporary ones, Slurm's variables are set as Slurm sets them,
// and ssh runs each host's command on this machine. Every task ends with 0 on a library three
// levels deep into an output folder not made yet, every file is encoded once to its mirrored
// place, and a rerun encodes nothing again.
TEST(Batch, TheReadmesScaleOutExamplesRunAsWritten) {
  const std::string readme = testing::ReadText(TOLVANE_SOURCE_DIR "/README.md");
  const std::vector<std::string> songs = {"A/B/C/1", "A/B/C/2", "A/B/3", "A/4", "D/E/F/5", "6"};
  const std::pair<const char*, int> examples[] = {{"A Slurm job array", 8},
                                                  {"GNU parallel in its remote mode", 1}};
  for (const auto& [lead_in, tasks] : examples) {
    SCOPED_TRACE(lead_in);
    TempFolder temp;
    for (const std::string& song : songs)
      Wave(temp / ("wav/" + song + ".wav"));
    const size_t start = readme.find("```sh\n", readme.find(lead_in)) + 6;
    std::string script = readme.substr(start, readme.find("```", start) - start);
    for (const auto& [shared, here] :
         {std::pair{"/shared/mp3", temp / "new/mp3"}, std::pair{"/shared/wav", temp / "wav"}}) {
      for (size_t at; (at = script.find(shared)) != std::string::npos;)
        script.replace(at, std::strlen(shared), here);
    }
    testing::WriteText(temp / "ssh",
                       "#!/bin/sh\n# ssh HOST -- COMMAND, here\nshift 2\nexec sh -c \"$*\"\n");
    std::filesystem::permissions(temp / "ssh", std::filesystem::perms::owner_all);
    std::map<std::string, std::string> environment = {
        {"PATH", std::string(TOLVANE_BUILD_DIR ":") + std::getenv("PATH")},
        {"HOME", temp.Path()},
        {"XDG_CONFIG_HOME", temp / "config"},
        {"XDG_STATE_HOME", temp / "state"},
        {"PARALLEL_SSH", temp / "ssh"},
        {"SHELL", "/bin/sh"},  // a login's; without it GNU parallel runs nothing remotely
        {"SLURM_CPUS_PER_TASK", "2"}};
    for (const bool rerun : {false, true}) {
      std::vector<std::unique_ptr<testing::ChildProcess>> running;
      for (int task = 1; task <= tasks; ++task) {
        environment["SLURM_ARRAY_TASK_ID"] = std::to_string(task);
        running.push_back(std::make_unique<testing::ChildProcess>(
            "/bin/sh", std::vector<std::string>{"-c", script}, environment,
            temp / ("task" + std::to_string(task) + ".log"), temp.Path()));
      }
      std::map<bool, int> done;  // lines by whether the MP3 was there already
      std::string shown;
      for (int task = 1; task <= tasks; ++task) {
        const Result r{running[static_cast<size_t>(task - 1)]->WaitFor(300s).value_or(-1),
                       testing::ReadText(temp / ("task" + std::to_string(task) + ".log"))};
        EXPECT_EQ(r.exit_code, 0) << script << r.output;
        for (const std::string& line : r.Lines())
          done[line.ends_with("(already there)")] += line.starts_with("done     ");
        shown += r.output;
      }
      EXPECT_EQ(done[rerun], 6) << "each file once\n" << shown;
      EXPECT_EQ(done[!rerun], 0);
      for (const std::string& song : songs)
        EXPECT_NEAR(testing::DecodeMp3(temp / ("new/mp3/" + song + ".mp3")).Frames(), 44100, 1152)
            << song;
    }
  }
}

// On a terminal, finished files scroll above a bar redrawn in place; in a log, plain lines. A
// narrow terminal keeps the bar's most useful pieces.
TEST(Batch, WhatATerminalAndALogShow) {
  struct Case {
    bool terminal;
    bool quiet;
    std::string shown;
  };
  const Case cases[] = {
      {true, false, "\r\033[K[1/2]\r\033[Kdone a\n[1/2]\r\033[Kfailed b\n[1/2]\r\033[K"},
      {false, false, "done a\nfailed b\n"},
      {true, true, "failed b\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    ConsoleReport report(out, c.terminal, c.quiet);
    report.Bar({{"[1/2]", 1}});
    report.Line("done a", false);
    report.Line("failed b", true);
    report.EndBar();
    EXPECT_EQ(out.str(), c.shown) << c.terminal << c.quiet;
  }

  const std::vector<BarPart> bar = {
      {"[3/8]  45.2%", 4}, {"2.34x", 1}, {"elapsed 00:01:02", 2}, {"left 00:02:10", 3}};
  const std::pair<int, std::string> widths[] = {
      {0, "[3/8]  45.2%  2.34x  elapsed 00:01:02  left 00:02:10"},
      {52, "[3/8]  45.2%  2.34x  elapsed 00:01:02  left 00:02:10"},
      {51, "[3/8]  45.2%  elapsed 00:01:02  left 00:02:10"},
      {39, "[3/8]  45.2%  left 00:02:10"},
      {20, "[3/8]  45.2%"},
      {8, "[3/8]  4"},
  };
  for (const auto& [width, shown] : widths)
    EXPECT_EQ(FitBar(bar, width), shown) << width;
}

// What a terminal received: the bars drawn in place, and the lines that scrolled.
struct Screen {
  std::vector<std::string> bars;
  std::vector<std::string> lines;
  explicit Screen(std::string received) {
    // The terminal turns each line end into a carriage return and a line feed.
    for (size_t at = received.find("\r\n"); at != std::string::npos; at = received.find("\r\n", at))
      received.erase(at, 1);
    const std::string redraw = "\r\033[K";
    for (size_t start = 0; start < received.size();) {
      size_t end = received.find(redraw, start);
      if (end == std::string::npos)
        end = received.size();
      std::string piece = received.substr(start, end - start);
      for (size_t line_end; (line_end = piece.find('\n')) != std::string::npos;) {
        lines.push_back(piece.substr(0, line_end));
        piece.erase(0, line_end + 1);
      }
      if (!piece.empty())
        bars.push_back(piece);
      start = end + redraw.size();
    }
  }
};

// Runs tolvane-batch under a pseudo-terminal `columns` wide; once its first bar shows, `act`
// gets the terminal's controlling side (to resize it, or to type on it).
std::pair<int, std::string> RunInTerminal(const TempFolder& temp, unsigned short columns,
                                          const std::vector<std::string>& arguments,
                                          const std::map<std::string, std::string>& environment,
                                          const std::function<void(int)>& act = {}) {
  std::vector<std::string> strings = {kBatch};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<std::string> variables = testing::EnvironmentWith(environment);
  std::vector<char*> argv;
  std::vector<char*> envp;
  for (std::string& text : strings)
    argv.push_back(text.data());
  for (std::string& text : variables)
    envp.push_back(text.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const std::string folder = temp.Path();
  winsize size{};
  size.ws_row = 24;
  size.ws_col = columns;
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, &size);
  if (pid == 0) {
    if (::chdir(folder.c_str()) == 0)
      ::execve(kBatch, argv.data(), envp.data());
    ::_exit(127);
  }
  std::string received;
  bool acted = false;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{terminal, POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0)
      continue;
    char buffer[4096];
    const ssize_t got = ::read(terminal, buffer, sizeof buffer);
    if (got <= 0)
      break;  // the program has ended: its side of the terminal is closed
    received.append(buffer, static_cast<size_t>(got));
    if (act && !acted && Screen(received).bars.size() > 1) {
      acted = true;
      act(terminal);
    }
  }
  ::kill(pid, SIGKILL);  // only a program that overran the deadline is still there
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), received};
}

// In a real terminal of 40 or 120 columns, also one resized while it runs: the bar is redrawn in
// place, never wider than the terminal, and nothing else starts a line while a job runs; Ctrl+C
// ends with a summary; a dumb terminal gets the plain lines of a log.
TEST(Batch, TheBarFitsTheTerminal) {
  TempFolder temp;
  for (const char* name : {"a.wav", "b.wav"})
    testing::WriteWave(temp / name, {.data_bytes = 176'400});
  std::string script = "sleep 300\n";  // the first bar comes before any output
  for (int step = 0; step < 8; ++step)
    script += "write 2000\nsleep 150\n";
  testing::WriteText(temp / "script.txt", script + "exit 0\n");
  const std::map<std::string, std::string> environment = {
      {"XDG_CONFIG_HOME", temp / "config"},
      {"TERM", "xterm"},
      {"TOLVANE_FAKE_SCRIPT", temp / "script.txt"}};
  const std::vector<std::string> arguments = {
      "-j",    "1",    "--overwrite", "--encoder", testing::FakeEncoderControl::kProgram,
      "a.wav", "b.wav"};
  const auto resize_to_40 = [](int terminal) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 40;
    ::ioctl(terminal, TIOCSWINSZ, &size);
  };
  const auto type_ctrl_c = [](int terminal) {
    const char interrupt = '\003';
    ASSERT_EQ(::write(terminal, &interrupt, 1), 1);
  };
  struct Case {
    const char* what;
    unsigned short columns;
    std::function<void(int)> act;
    size_t widest_after;  // the widest bar allowed once `act` ran
    int exit_code;
    const char* last_line;
  };
  const Case cases[] = {
      {"40 columns", 40, {}, 39, 0, "2 encoded, 0 skipped, 0 failed"},
      {"120 columns", 120, {}, 119, 0, "2 encoded, 0 skipped, 0 failed"},
      {"resized to 40", 120, resize_to_40, 39, 0, "2 encoded, 0 skipped, 0 failed"},
      {"Ctrl+C", 120, type_ctrl_c, 119, 130,
       "interrupted: 0 encoded, 0 skipped, 0 failed, 1 stopped, 1 not started"},
  };
  for (const Case& c : cases) {
    const auto [exit_code, received] =
        RunInTerminal(temp, c.columns, arguments, environment, c.act);
    EXPECT_EQ(exit_code, c.exit_code) << c.what << "\n" << received;
    const Screen screen(received);
    // Redrawn in place; after a resize, at least once more (the encoders work for seconds after
    // it). Ctrl+C ends at once, perhaps before the next redraw.
    const size_t redraws = c.act && c.exit_code == 0 ? 3 : 2;
    ASSERT_GE(screen.bars.size(), redraws) << c.what << ": redrawn in place\n" << received;
    EXPECT_NE(screen.bars.front().find("left --:--:--"), std::string::npos) << screen.bars.front();
    for (size_t i = 0; i < screen.bars.size(); ++i) {
      EXPECT_LE(screen.bars[i].size(), i < 2 ? size_t{c.columns} - 1 : c.widest_after)
          << c.what << ": " << screen.bars[i];
    }
    for (const std::string& line : screen.lines) {
      EXPECT_TRUE(line.starts_with("done") || line.starts_with("stopped") ||
                  line.starts_with("interrupted") || std::isdigit(line[0]))
          << c.what << ": a line while a job ran: " << line;
    }
    ASSERT_FALSE(screen.lines.empty()) << c.what;
    EXPECT_EQ(screen.lines.back().rfind(c.last_line, 0), 0u) << c.what << "\n" << received;
  }

  std::map<std::string, std::string> dumb = environment;
  dumb["TERM"] = "dumb";
  const auto [exit_code, received] = RunInTerminal(temp, 120, arguments, dumb);
  EXPECT_EQ(exit_code, 0) << received;
  EXPECT_EQ(received.find('\033'), std::string::npos) << received;
  EXPECT_EQ(Screen(received).lines.size(), 3u) << received;
}

// The programs without a window carry no toolkit and no controls: neither Qt among their
// libraries nor a symbol of the controls in their code.
TEST(Batch, TheProgramsWithoutAWindowLinkNoControls) {
  TempFolder temp;
  for (const std::string program : {kBatch, TOLVANE_BUILD_DIR "/bladeenc"}) {
    const std::string ldd = "ldd '" + program + "' > '" + (temp / "ldd.txt") + "'";
    ASSERT_EQ(std::system(ldd.c_str()), 0) << program;
    const std::string libraries = testing::ReadText(temp / "ldd.txt");
    EXPECT_NE(libraries.find("libstdc++"), std::string::npos) << "the list is real";
    EXPECT_EQ(libraries.find("Qt"), std::string::npos) << program << "\n" << libraries;
    const std::string nm = "nm -C '" + program + "' > '" + (temp / "nm.txt") + "'";
    ASSERT_EQ(std::system(nm.c_str()), 0) << program;
    const std::string symbols = testing::ReadText(temp / "nm.txt");
    EXPECT_NE(symbols.find("tolvane::"), std::string::npos) << "the symbols are there to read";
    EXPECT_EQ(symbols.find("tolvane::ui::"), std::string::npos) << program;
  }
}

}  // namespace
}  // namespace tolvane::cli
