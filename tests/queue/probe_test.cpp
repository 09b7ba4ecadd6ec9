#include "queue/probe.h"
#include "queue/queue.h"
#include "queue/view/queue_rows.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <stdexcept>

#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"

namespace tolvane::queue {
namespace {

using testing::AiffLayout;
using testing::TempFolder;
using testing::WaveLayout;

struct Fixture {
  TempFolder temp;
  posix::PosixFileSystem files;
  platform::Paths paths{platform::PathStyle::Posix};
  Queue queue{files, paths};
  QueueRows view{queue};
  ui::RowList& rows = view.Rows();
  EntryDefaults defaults;

  Enqueued Enqueue(const std::string& path, TFileData** out = nullptr) {
    const EnqueueResult result = queue.ProbeAndEnqueue(path, defaults);
    if (out != nullptr)
      *out = result.entry;
    return result.outcome;
  }
  // Queues a short WAVE file for each letter, named by it; the names in the queue's order.
  void EnqueueLetters(const std::string& letters) {
    for (const char letter : letters) {
      const std::string path = temp / (std::string(1, letter) + ".wav");
      testing::WriteWave(path, {.data_bytes = 1764});
      EXPECT_EQ(Enqueue(path), Enqueued::Added);
    }
  }
  std::string Order() const {
    std::string order;
    for (int i = 0; i < queue.Count(); ++i)
      order += queue.At(i).DisplayName;
    return order;
  }
};

// A stereo 16-bit 44100 Hz WAVE file of `total` bytes, header included.
WaveLayout CdWave(int64_t total) {
  return {.data_bytes = total - 44};
}

TEST(Probe, WaveFilesGivePlayTimeAndExpectedSize) {
  struct Case {
    const char* name;
    WaveLayout layout;
    Enqueued result;
    int32_t duration;
    int64_t required;
  };
  const Case cases[] = {
      {"sixty seconds", CdWave(10'584'044), Enqueued::Added, 60, 960'004},
      {"one second", CdWave(176'444), Enqueued::Added, 1, 16'004},
      {"just over half a second", CdWave(88'244), Enqueued::Added, 1, 8'004},
      {"exactly half a second rounds to even", CdWave(88'200), Enqueued::Added, 0, 8'000},
      {"mono 8-bit 32 kHz",
       {.channels = 1, .sample_rate = 32000, .bits_per_sample = 8, .data_bytes = 32'000 * 10 - 44},
       Enqueued::Added,
       10,
       160'000},
      {"48 kHz 24-bit",
       {.sample_rate = 48000, .bits_per_sample = 24, .data_bytes = 288'000 - 44},
       Enqueued::Added,
       1,
       16'000},
      {"22050 Hz", {.sample_rate = 22050, .data_bytes = 88'200}, Enqueued::Unsupported, 0, 0},
      {"MPEG layer 3 inside WAVE",
       {.format_tag = 85, .data_bytes = 1000},
       Enqueued::Unsupported,
       0,
       0},
      {"any other format tag",
       {.format_tag = 3, .bits_per_sample = 32, .data_bytes = 352'800 - 44},
       Enqueued::Added,
       1,
       16'000},
      {"zero channels", {.channels = 0, .data_bytes = 1000}, Enqueued::Unsupported, 0, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    const std::string path = f.temp / "song.wav";
    testing::WriteWave(path, c.layout);
    TFileData* entry = nullptr;
    EXPECT_EQ(f.Enqueue(path, &entry), c.result) << c.name;
    if (c.result != Enqueued::Added) {
      EXPECT_EQ(f.rows.Count(), 0) << c.name;
      EXPECT_EQ(entry, nullptr) << c.name;
      continue;
    }
    ASSERT_NE(entry, nullptr) << c.name;
    EXPECT_EQ(entry->Duration, c.duration) << c.name;
    EXPECT_EQ(entry->RequiredSize, c.required) << c.name;
    EXPECT_EQ(entry->FileSize, static_cast<int64_t>(std::filesystem::file_size(path))) << c.name;
  }
}

// The chunks are walked to "fmt ", whatever stands before it, with the pad byte after an odd
// size; the fields are read there.
TEST(Probe, WaveChunksAreWalkedToFmt) {
  struct Case {
    const char* name;
    testing::WaveLayout layout;
    Enqueued result;
  };
  // Bytes that read as 2 channels, 44100 Hz, 16 bits where the fixed offsets would look.
  std::vector<uint8_t> decoy(20, 0);
  decoy[2] = 2, decoy[4] = 0x44, decoy[5] = 0xAC, decoy[14] = 16;
  const Case cases[] = {
      {"LIST before fmt, holding a header's bytes",
       {.sample_rate = 48000, .data_bytes = 19'200, .chunks_before_fmt = {{"LIST", decoy}}},
       Enqueued::Added},
      {"JUNK of an odd size, then its pad byte",
       {.sample_rate = 32000, .data_bytes = 12'800, .chunks_before_fmt = {{"JUNK", {1, 2, 3}}}},
       Enqueued::Added},
      {"bext and fact",
       {.data_bytes = 17'640,
        .chunks_before_fmt = {{"bext", std::vector<uint8_t>(602, ' ')}, {"fact", {0, 0, 0, 0}}}},
       Enqueued::Added},
      {"MPEG layer 3 inside", {.format_tag = 85, .data_bytes = 17'640}, Enqueued::Unsupported},
      {"a long LIST first",
       {.data_bytes = 0, .chunks_before_fmt = {{"LIST", std::vector<uint8_t>(40'000, 'x')}}},
       Enqueued::Added},
  };
  for (const Case& c : cases) {
    Fixture f;
    const std::string path = f.temp / "song.wav";
    testing::WriteWave(path, c.layout);
    TFileData* entry = nullptr;
    EXPECT_EQ(f.Enqueue(path, &entry), c.result) << c.name;
    if (c.result == Enqueued::Added) {
      ASSERT_NE(entry, nullptr) << c.name;
      EXPECT_EQ(entry->SampleRate, static_cast<int32_t>(c.layout.sample_rate)) << c.name;
      EXPECT_EQ(entry->Channels, 2) << c.name;
      EXPECT_EQ(entry->BitsPerSample, 16) << c.name;
    }
  }
  Fixture f;
  testing::WriteText(f.temp / "cut.wav", std::string("RIFF\x40\0\0\0WAVELIST\xFF\xFF\0\0xxxx", 24));
  EXPECT_EQ(f.Enqueue(f.temp / "cut.wav"), Enqueued::Unsupported) << "a chunk running past the end";
}

TEST(Probe, AiffFiles) {
  struct Case {
    const char* name;
    AiffLayout layout;
    Enqueued result;
  };
  const Case cases[] = {
      {"44100 Hz stereo", {.frames = 44100}, Enqueued::Added},
      {"48000 Hz mono 24-bit",
       {.channels = 1, .sample_rate = 48000, .bits_per_sample = 24, .frames = 4800},
       Enqueued::Added},
      {"22050 Hz", {.sample_rate = 22050, .frames = 100}, Enqueued::Unsupported},
      {"COMM after a chunk of 4 bytes",
       {.frames = 10, .chunks_before_comm = {{"ANNO", {1, 2, 3, 4}}}},
       Enqueued::Added},
      {"COMM after a comment chunk, as sox writes it",
       {.frames = 10, .chunks_before_comm = {{"COMT", {0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 'x', 0}}}},
       Enqueued::Added},
      {"COMM after a chunk of an odd size and its pad byte",
       {.frames = 10, .chunks_before_comm = {{"NAME", {'a', 'b', 'c'}}}},
       Enqueued::Added},
      {"AIFF-C", {.frames = 10, .form_type = "AIFC"}, Enqueued::Unsupported},
  };
  for (const Case& c : cases) {
    Fixture f;
    const std::string path = f.temp / "song.aiff";
    testing::WriteAiff(path, c.layout);
    TFileData* entry = nullptr;
    EXPECT_EQ(f.Enqueue(path, &entry), c.result) << c.name;
    if (c.result == Enqueued::Added) {
      ASSERT_NE(entry, nullptr) << c.name;
      EXPECT_EQ(entry->SampleRate, static_cast<int32_t>(c.layout.sample_rate)) << c.name;
      EXPECT_EQ(entry->Channels, c.layout.channels) << c.name;
      EXPECT_EQ(entry->BitsPerSample, c.layout.bits_per_sample) << c.name;
    }
  }
}

TEST(Probe, ExtendedToInt) {
  struct Case {
    std::array<uint8_t, 10> bytes;
    int64_t expected;
  };
  const Case cases[] = {
      {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 44100},
      {{0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0}, 48000},
      {{0x40, 0x0D, 0xFA, 0x00, 0, 0, 0, 0, 0, 0}, 32000},
      {{0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, -44100},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
      {{0x7F, 0xFF, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 0},
      {{0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}, 1},            // 1.0
      {{0x3F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0}, 0},            // 0.5 rounds to even
      {{0x3F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0}, 2},            // 1.5 rounds to even
      {{0x40, 0x00, 0xA0, 0, 0, 0, 0, 0, 0, 0}, 2},            // 2.5 rounds to even
      {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0x80, 0}, 44100},  // low word adds a sliver
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtendedToInt(c.bytes), c.expected) << "expected " << c.expected;
  }
}

TEST(Probe, NewEntryCopiesTheDefaultsAndShowsAsQueued) {
  Fixture f;
  f.defaults = {.Bitrate = 128, .StereoMode = 0, .Priority = 2, .CRCFlag = true};
  testing::WriteWave(f.temp / "My Song.v2.wav", CdWave(176'444));
  TFileData* entry = nullptr;
  ASSERT_EQ(f.Enqueue(f.temp / "My Song.v2.wav", &entry), Enqueued::Added);
  const ui::ListItem& row = f.rows.Item(0);
  EXPECT_EQ(row.Caption(), "My Song.v2");
  EXPECT_EQ(row.SubItem(0), "Queued");
  EXPECT_EQ(row.ImageIndex(), 0);
  EXPECT_EQ(row.StateIndex(), -1);
  EXPECT_EQ(row.Key(), entry->Id);
  EXPECT_EQ(entry->FileName, f.temp / "My Song.v2.wav");
  EXPECT_EQ(entry->Bitrate, 128);
  EXPECT_EQ(entry->StereoMode, 0);
  EXPECT_EQ(entry->Priority, 2);
  EXPECT_TRUE(entry->CRCFlag);
  EXPECT_FALSE(entry->DeleteFlag);
  EXPECT_EQ(entry->Channels, 2);
  EXPECT_EQ(entry->BitsPerSample, 16);
  EXPECT_FALSE(entry->Started);
  EXPECT_FALSE(entry->HasTag);
}

TEST(Probe, DuplicatesAndFilesThatCannotBeOpened) {
  Fixture f;
  testing::WriteWave(f.temp / "a.wav", CdWave(176'444));
  testing::WriteWave(f.temp / "A.WAV", CdWave(176'444));
  testing::WriteWave(f.temp / "slow.wav", {.sample_rate = 22050, .data_bytes = 1000});
  EXPECT_EQ(f.Enqueue(f.temp / "a.wav"), Enqueued::Added);
  EXPECT_EQ(f.Enqueue(f.temp / "a.wav"), Enqueued::AlreadyQueued) << "the same path twice";
  EXPECT_EQ(f.Enqueue(f.temp / "A.WAV"), Enqueued::Added) << "another case is another file";
  EXPECT_EQ(f.rows.Count(), 2);

  EXPECT_EQ(f.Enqueue(f.temp / "missing.wav"), Enqueued::Unsupported);
  EXPECT_EQ(f.Enqueue(f.temp.Path()), Enqueued::Unsupported) << "a folder";
  testing::WriteText(f.temp / "notes.txt", "hello");
  EXPECT_EQ(f.Enqueue(f.temp / "notes.txt"), Enqueued::Unsupported);
  testing::WriteText(f.temp / "short.wav", "RIFF");
  EXPECT_EQ(f.Enqueue(f.temp / "short.wav"), Enqueued::Unsupported) << "missing bytes read as zero";

  // Unreadable for anyone but root; as root the probe still reads it, which is fine.
  testing::WriteWave(f.temp / "locked.wav", CdWave(176'444));
  ::chmod((f.temp / "locked.wav").c_str(), 0);
  const Enqueued locked = f.Enqueue(f.temp / "locked.wav");
  EXPECT_EQ(locked, ::geteuid() == 0 ? Enqueued::Added : Enqueued::Unsupported);

  ASSERT_TRUE(f.queue.Remove(f.queue.At(0)));
  EXPECT_EQ(f.Enqueue(f.temp / "a.wav"), Enqueued::Added) << "a removed entry's path can come back";
  EXPECT_EQ(f.rows.Item(f.rows.Count() - 1).Caption(), "a");
}

TEST(Probe, AQueuedFileThatNoLongerReadsIsUnsupported) {
  Fixture f;
  testing::WriteWave(f.temp / "a.wav", CdWave(176'444));
  ASSERT_EQ(f.Enqueue(f.temp / "a.wav"), Enqueued::Added);
  // The file changes on disk into one the encoder cannot take.
  testing::WriteWave(f.temp / "a.wav", {.sample_rate = 22050, .data_bytes = 100});
  EXPECT_EQ(f.Enqueue(f.temp / "a.wav"), Enqueued::Unsupported);
}

TEST(Probe, FilesOverTwoGigabytesAreCounted) {
  Fixture f;
  const int64_t total = 44 + int64_t{3} * 1024 * 1024 * 1024;  // sparse: takes no disk space
  testing::WriteWave(f.temp / "long.wav", CdWave(total));
  TFileData* entry = nullptr;
  ASSERT_EQ(f.Enqueue(f.temp / "long.wav", &entry), Enqueued::Added);
  EXPECT_EQ(entry->FileSize, total);
  EXPECT_EQ(entry->Duration, 18'261);  // 3 GiB of CD audio is about five hours
  EXPECT_GT(entry->RequiredSize, int64_t{290'000'000});
}

// What a row shows is made from its entry's state, and every change is published with what
// changed; a running job's percent alone is progress, not a change of state.
TEST(QueueModel, RowsShowTheirEntrysStateAndEveryChangeIsPublished) {
  Fixture f;
  TFileData* entry = nullptr;
  testing::WriteWave(f.temp / "a.wav", {.data_bytes = 176'400});
  std::vector<EntryChange::Kind> published;
  const platform::Subscription changes =
      f.queue.Changed.Connect([&](const EntryChange& change) { published.push_back(change.kind); });
  ASSERT_EQ(f.Enqueue(f.temp / "a.wav", &entry), Enqueued::Added);
  using Kind = EntryChange::Kind;
  struct Case {
    EntryState state;
    const char* status;
    int image;
    const char* hint;
    Kind kind;
  };
  const Case cases[] = {
      {EntryState::Preparing(), "Preparing...", 0, "", Kind::State},
      {EntryState::Encoding(49.6L), "50% completed", 1, "", Kind::State},
      {EntryState::Encoding(130), "100% completed", 4, "", Kind::Progress},  // not the tag mark
      {EntryState::Halted("disk full"), "Queued", 0, "disk full", Kind::State},
      {EntryState::Completed(62, ", not moved"), "Completed in 00:01:02, not moved", 4, "",
       Kind::State},
      {EntryState::Kept(), "Completed", 0, "", Kind::State},
      {EntryState::Skipped(), "Skipped", 0, "", Kind::State},
  };
  for (const Case& c : cases) {
    published.clear();
    f.queue.SetState(*entry, c.state);
    const ui::ListItem& row = f.rows.Item(0);
    EXPECT_EQ(row.SubItem(0), c.status);
    EXPECT_EQ(row.ImageIndex(), c.image) << c.status;
    EXPECT_EQ(row.Hint(), c.hint) << c.status;
    EXPECT_EQ(published, std::vector<Kind>{c.kind}) << c.status;
  }
  // A Reset forgets why a row halted.
  f.queue.SetState(*entry, EntryState::Halted("disk full"));
  f.queue.RequeueAll();
  EXPECT_EQ(f.rows.Item(0).Hint(), "");
  entry->HasTag = true;
  f.queue.TagChanged(*entry);
  EXPECT_EQ(f.rows.Item(0).StateIndex(), kTagImage);
  EXPECT_EQ(published.back(), Kind::Tag);
  ASSERT_TRUE(f.queue.Remove(*entry));
  EXPECT_EQ(published.back(), Kind::Removed);
  EXPECT_EQ(f.rows.Count(), 0);
}

// The model's own rules, whoever calls it: an entry at work is neither removed nor cut, a job
// takes its entry out of the cut group, an id names one entry for good, and a bad new order
// changes nothing.
TEST(QueueModel, CommandsKeepTheirInvariants) {
  for (const EntryState& busy : {EntryState::Preparing(), EntryState::Encoding(40)}) {
    Fixture f;
    f.EnqueueLetters("ABC");
    TFileData& b = f.queue.At(1);
    ASSERT_TRUE(f.queue.SetCut(b, true));
    f.queue.SetState(b, busy);
    EXPECT_FALSE(b.Cut) << "a job takes its entry out of the cut group";
    EXPECT_FALSE(f.queue.SetCut(b, true));
    EXPECT_FALSE(f.queue.Remove(b));
    EXPECT_EQ(f.Order(), "ABC");

    const EntryId a = f.queue.At(0).Id;
    EXPECT_TRUE(f.queue.Remove(f.queue.At(0)));
    EXPECT_EQ(f.queue.Find(a), nullptr);
    EXPECT_EQ(f.queue.Find(b.Id), &b);
    EXPECT_EQ(f.queue.IndexOf(b), 0);

    EXPECT_THROW(f.queue.Rearrange({&b, &b}), std::invalid_argument);
    EXPECT_THROW(f.queue.Rearrange({&b}), std::invalid_argument);
    EXPECT_EQ(f.Order(), "BC");
  }
  Fixture f;
  f.EnqueueLetters("ABCDE");
  f.queue.Sort(
      [](const TFileData& x, const TFileData& y) { return y.DisplayName.compare(x.DisplayName); });
  EXPECT_EQ(f.Order(), "EDCBA");
  EXPECT_EQ(f.queue.IndexOf(f.queue.At(4)), 4) << "positions follow a new order";
}

}  // namespace
}  // namespace tolvane::queue
