#include <gtest/gtest.h>

#include "blade_fixture.h"
#include "queue/view/selection_summary.h"

namespace tolvane::app {
namespace {

std::vector<std::string> Panels(const ui::StatusBar& bar) {
  std::vector<std::string> texts;
  for (int i = 0; i < bar.PanelCount(); ++i)
    texts.push_back(bar.Panel(i).Text());
  return texts;
}

struct Buttons {
  std::vector<std::string> captions;
  std::vector<bool> enabled;
};

Buttons OptionButtons(TBlade& b) {
  Buttons buttons;
  for (ui::SpeedButton* button :
       {&b.Mp3BitrateButton, &b.Mp3PrioButton, &b.Mp3StereoButton, &b.Mp3BitsButton}) {
    buttons.captions.push_back(button->Caption());
    buttons.enabled.push_back(button->Enabled());
  }
  return buttons;
}

TEST(SelectionSummary, OneEntry) {
  BladeFixture f;
  f.blade.DeleteBit.SetDown(true);
  f.blade.CRCBit.SetDown(true);
  f.blade.AddPath(f.Wave("song.wav"));
  f.blade.Queue.Item(0).SetSelected(true);
  f.Settle();

  EXPECT_EQ(Panels(f.blade.WaveBar),
            (std::vector<std::string>{"Stereo", "44100Hz", "16-bit", "01:00", "10336kb", "938kb"}));
  EXPECT_EQ(f.blade.WaveBar.Panel(0).GetBevel(), ui::Bevel::Lowered);
  const Buttons buttons = OptionButtons(f.blade);
  EXPECT_EQ(buttons.captions, (std::vector<std::string>{"128kbps", "Lower", "Stereo", " ds  ___"}));
  EXPECT_EQ(buttons.enabled, (std::vector<bool>{true, true, true, true}));
  EXPECT_TRUE(f.blade.IDButton.Enabled());

  // Once launched, the options are locked and keep their captions.
  f.Entry(0).Started = true;
  f.blade.RefreshSummary();
  f.Settle();
  const Buttons locked = OptionButtons(f.blade);
  EXPECT_EQ(locked.captions, buttons.captions);
  EXPECT_EQ(locked.enabled, (std::vector<bool>{false, false, false, false}));
}

TEST(SelectionSummary, SeveralEntries) {
  BladeFixture f;
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    f.blade.AddPath(f.Wave(name));
  f.Entry(1).Bitrate = 192;
  f.blade.Queue.Item(0).SetSelected(true);
  f.blade.Queue.Item(1).SetSelected(true);
  f.Settle();
  EXPECT_EQ(Panels(f.blade.WaveBar),
            (std::vector<std::string>{"", "", "002", "02:00", "20mb", "2mb"}));
  EXPECT_EQ(f.blade.WaveBar.Panel(0).GetBevel(), ui::Bevel::None);
  EXPECT_EQ(OptionButtons(f.blade).captions,
            (std::vector<std::string>{"Various", "Lower", "Stereo", " __  ___"}));
  EXPECT_FALSE(f.blade.IDButton.Enabled()) << "tags are edited one entry at a time";

  // Only the middle one differs in bitrate.
  f.blade.Queue.Item(2).SetSelected(true);
  f.Entry(1).Bitrate = 128;
  f.Entry(2).CopyFlag = true;
  f.blade.RefreshSummary();
  f.Settle();
  EXPECT_EQ(OptionButtons(f.blade).captions,
            (std::vector<std::string>{"128kbps", "Lower", "Stereo", "various"}));
  EXPECT_EQ(f.blade.WaveBar.Panel(2).Text(), "003");

  f.Entry(2).Started = true;
  f.blade.RefreshSummary();
  f.Settle();
  EXPECT_EQ(OptionButtons(f.blade).enabled, (std::vector<bool>{false, false, false, false}));

  f.blade.Queue.Rows().ClearSelection();
  f.Settle();
  EXPECT_EQ(Panels(f.blade.WaveBar), (std::vector<std::string>{"", "", "", "", "", ""}));
  EXPECT_EQ(OptionButtons(f.blade).captions, (std::vector<std::string>{"", "", "", ""}));
  EXPECT_EQ(OptionButtons(f.blade).enabled, (std::vector<bool>{false, false, false, false}));
  EXPECT_FALSE(f.blade.IDButton.Enabled());
}

// The summary follows the selection whatever takes the selected rows away: "Remove completed"
// chosen below the rows, and rows added after.
TEST(SelectionSummary, FollowsTheSelectionWhenRowsAreRemoved) {
  BladeFixture f;
  f.blade.AddPath(f.Wave("done.wav"));
  f.blade.AddPath(f.Wave("waiting.wav"));
  f.SetState(0, queue::EntryState::Completed(5, ""));
  f.blade.Queue.Item(0).SetSelected(true);
  f.Settle();
  ASSERT_EQ(f.blade.WaveBar.Panel(0).Text(), "Stereo");
  f.blade.Editing().RemoveCompletedClick();
  f.Settle();
  const std::vector<std::string> nothing(6, "");
  EXPECT_EQ(Panels(f.blade.WaveBar), nothing);
  EXPECT_EQ(OptionButtons(f.blade).enabled, (std::vector<bool>{false, false, false, false}));
  EXPECT_FALSE(f.blade.IDButton.Enabled());
  f.blade.AddPath(f.Wave("new.wav"));
  f.Settle();
  EXPECT_EQ(Panels(f.blade.WaveBar), nothing) << "nothing is selected still";
}

TEST(SelectionSummary, TextForms) {
  const std::pair<int64_t, const char*> times[] = {
      {0, "00:00"}, {64, "01:04"}, {600, "10:00"}, {6000, "100:00"}};
  for (const auto& [seconds, text] : times)
    EXPECT_EQ(queue::MinutesSeconds(seconds), text);
  EXPECT_EQ(queue::FlagsCaption(true, true, true, true, true), " ds  prc");
  EXPECT_EQ(queue::FlagsCaption(false, false, false, false, false), " __  ___");
  EXPECT_EQ(queue::FlagsCaption(false, true, false, true, false), " _s  _r_");
}

// Selecting many rows at once (select all) shows the summary once, when the loop comes round,
// not once for every row.
TEST(SelectionSummary, ABurstOfSelectionChangesIsSummedUpOnce) {
  BladeFixture f;
  for (int i = 0; i < 200; ++i)
    f.blade.AddPath(f.Wave("take" + std::to_string(i) + ".wav", 1044));
  int summaries = 0;
  const platform::Subscription counting =
      f.blade.WaveBar.Changed.Connect([&summaries] { ++summaries; });
  for (int i = 0; i < f.blade.Queue.Count(); ++i)
    f.blade.Queue.Item(i).SetSelected(true);
  EXPECT_EQ(summaries, 0) << "nothing yet";
  f.Settle();
  EXPECT_EQ(f.blade.WaveBar.Panel(2).Text(), "200");
  EXPECT_LE(summaries, 6) << "one summary: a change for each of its panels at most";
}

}  // namespace
}  // namespace tolvane::app
