#include "queue/queue.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/posix/posix_file_system.h"
#include "support/audio_files.h"

namespace tolvane::queue {
namespace {

struct QueueFixture {
  testing::TempFolder temp;
  posix::PosixFileSystem files;
  platform::Paths paths{platform::PathStyle::Posix};
  Queue queue{files, paths};

  explicit QueueFixture(const std::string& names) {
    for (const char name : names) {
      const std::string path = temp / (std::string(1, name) + ".wav");
      testing::WriteWave(path, {.data_bytes = 1764});
      EXPECT_EQ(queue.ProbeAndEnqueue(path, {}).outcome, Enqueued::Added);
    }
  }
  std::string Order() const {
    std::string order;
    for (int i = 0; i < queue.Count(); ++i)
      order += queue.At(i).DisplayName;
    return order;
  }
};

// The model's own rules, whoever calls it: an entry at work is neither removed nor cut, a job
// takes its entry out of the cut group, an id names one entry for good, and a bad new order
// changes nothing.
TEST(QueueModel, CommandsKeepTheirInvariants) {
  for (const EntryState& busy : {EntryState::Preparing(), EntryState::Encoding(40)}) {
    QueueFixture f("ABC");
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
  QueueFixture f("ABCDE");
  f.queue.Sort(
      [](const TFileData& x, const TFileData& y) { return y.DisplayName.compare(x.DisplayName); });
  EXPECT_EQ(f.Order(), "EDCBA");
  EXPECT_EQ(f.queue.IndexOf(f.queue.At(4)), 4) << "positions follow a new order";
}

}  // namespace
}  // namespace tolvane::queue
