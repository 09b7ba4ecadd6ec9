#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;

TEST(Engine, NothingToDo) {
  EngineFixture f;
  f.blade.Encode.UserClick();
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.system.dialogs.Messages()[0].text, "Nothing to do!");
  EXPECT_EQ(f.system.dialogs.Messages()[0].caption, "Warning");
  EXPECT_EQ(f.system.dialogs.Messages()[0].icon, ui::MessageIcon::Warning);
  EXPECT_FALSE(f.blade.Engine().Timer.Enabled());
  EXPECT_TRUE(f.blade.Encode.Enabled());
  EXPECT_FALSE(f.blade.Encode.Down()) << "back to idle";
}

TEST(Engine, ProgressIsReadFromTheGrowingOutput) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("song.wav"));  // 60 s of CD sound, 960,004 bytes at 128 kbps
  // 240,001 bytes of MP3 stand for a quarter of the source.
  f.Script(
      "wait @/go1\nwrite 240001\nwait @/go2\nwrite 720003\nwait @/go3\nwrite 480000\nwait "
      "@/end\nexit 0\n");
  f.blade.Encode.UserClick();
  ASSERT_TRUE(f.blade.Engine().Timer.Enabled());
  EXPECT_EQ(f.Status(0), "Preparing...");
  EXPECT_FALSE(f.blade.Encode.Enabled());
  EXPECT_TRUE(f.blade.Stop.Enabled());
  EXPECT_TRUE(f.blade.Pause.Enabled());

  f.Tick();
  EXPECT_EQ(f.Status(0), "0% completed");
  EXPECT_EQ(f.blade.AllBar2.Panel(0).Text(), "00:00:00");
  EXPECT_EQ(f.blade.AllBar2.Panel(2).Text(), "0.00x");
  EXPECT_EQ(f.blade.AllBar1.Panel(0).Text(), "001");

  f.Go("go1");
  f.WaitForSize(f.temp / "song.mp3", 240001);
  f.Tick(59'000);  // 60 s after the launch
  EXPECT_EQ(f.Status(0), "25% completed");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 1);
  EXPECT_EQ(f.blade.AllBar2.Panel(0).Text(), "00:03:00") << "the rest at the same pace";
  EXPECT_EQ(f.blade.AllBar3.Panel(4).Text(), "25%");
  EXPECT_EQ(f.blade.Completed.Position(), 25);
  EXPECT_EQ(f.blade.AllBar3.Panel(1).Text(), "00:01:00");
  EXPECT_EQ(f.blade.AllBar2.Panel(2).Text(), "0.25x");  // 45 s of sound in 180 s

  f.blade.Selector.SetCaption("batch");
  f.blade.EstimateMode = 1;
  f.Go("go2");
  f.WaitForSize(f.temp / "song.mp3", 960004);
  f.Tick();
  EXPECT_EQ(f.Status(0), "100% completed");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 4);

  f.Go("go3");
  f.WaitForSize(f.temp / "song.mp3", 1440004);
  f.Tick();
  EXPECT_EQ(f.Status(0), "150% completed") << "more than the estimate shows more than 100 %";

  f.Go("end");
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.Status(0), "Completed in 00:01:03");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 4);
  EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
  EXPECT_FALSE(f.blade.Engine().Timer.Enabled());
  EXPECT_TRUE(f.blade.Encode.Enabled());
  EXPECT_EQ(f.Entry(0).EncodeTime, 63);
  EXPECT_TRUE(f.Entry(0).Encoded);
  EXPECT_TRUE(f.Entry(0).Started) << "stays set after a normal completion";
}

TEST(Engine, TheTitleShowsProgressOnlyWhileMinimisedOrInactive) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("song.wav"));
  f.Script("write 240001\nwait @/end\nexit 0\n");
  f.application.ReportActivated();
  f.blade.Encode.UserClick();
  f.WaitForSize(f.temp / "song.mp3", 240001);
  f.Tick();
  EXPECT_EQ(f.application.Title(), "Tolvane") << "in the foreground the title stays";

  f.application.ReportMinimized();
  f.Tick();
  EXPECT_EQ(f.application.Title(), "25% -=- Tolvane");
  f.application.ReportRestored();
  EXPECT_EQ(f.application.Title(), "Tolvane") << "restored at once";
  f.application.ReportDeactivated();
  f.Tick();
  EXPECT_EQ(f.application.Title(), "25% -=- Tolvane");
  f.application.ReportActivated();
  EXPECT_EQ(f.application.Title(), "Tolvane");
  f.Go("end");
}

TEST(Engine, APauseAddsNothingToEitherClock) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("song.wav"));
  f.Script("write 240001\nwait @/end\nexit 0\n");
  f.blade.Encode.UserClick();
  f.WaitForSize(f.temp / "song.mp3", 240001);
  f.Tick(10'000);
  EXPECT_EQ(f.blade.AllBar3.Panel(1).Text(), "00:00:10");

  f.blade.Pause.UserClick();
  ASSERT_TRUE(f.blade.Pause.Down());
  f.Tick();
  EXPECT_EQ(f.blade.AllBar3.Panel(1).Style(), ui::PanelStyle::OwnerDraw) << "it blinks";
  f.Tick();
  EXPECT_EQ(f.blade.AllBar3.Panel(1).Style(), ui::PanelStyle::Text);
  f.system.clock.Advance(28'000);
  f.blade.Pause.UserClick();
  EXPECT_FALSE(f.blade.Pause.Down());
  f.Tick();
  EXPECT_EQ(f.blade.AllBar3.Panel(1).Text(), "00:00:11") << "30 s of pause left out";
  EXPECT_EQ(f.blade.AllBar2.Panel(0).Text(), "00:00:33") << "11 s for 25 %: 33 s to go";
  f.Go("end");
}

TEST(Engine, StopAndHalt) {
  for (bool delete_partial : {false, true}) {
    EngineFixture f;
    f.blade.AddPath(f.Wave("song.wav"));
    f.Script("write 5000\nwait never\n");
    f.blade.DeleteFileButton.SetDown(delete_partial);
    f.blade.Encode.UserClick();
    f.WaitForSize(f.temp / "song.mp3", 5000);
    f.Tick();

    f.system.dialogs.AnswerNext(MessageAnswer::No);
    f.blade.Stop.UserClick();
    EXPECT_TRUE(f.blade.Encode.Down()) << "No: the job goes on";
    EXPECT_FALSE(f.blade.Stop.Down());
    f.Tick();
    EXPECT_TRUE(f.blade.Engine().Timer.Enabled());

    f.blade.Stop.UserClick();  // answered Yes
    EXPECT_EQ(f.system.dialogs.Messages().back().text,
              "Task is not completed.\rAre you sure to lose changes?");
    EXPECT_EQ(f.blade.Stop.Caption(), "Stoping...");
    f.WaitUntilEnded();
    f.Tick();
    EXPECT_EQ(f.Status(0), "Queued");
    EXPECT_EQ(f.blade.Stop.Caption(), "Stop");
    EXPECT_FALSE(f.blade.Engine().Timer.Enabled());
    EXPECT_FALSE(f.Entry(0).Started);
    EXPECT_EQ(f.blade.Encode.Caption(), "Encode");
    EXPECT_EQ(std::filesystem::exists(f.temp / "song.mp3"), !delete_partial);
  }

  for (const char* ending : {"exit 255\n", "exit 1\n"}) {
    EngineFixture f;
    f.blade.AddPath(f.Wave("song.wav"));
    f.blade.DeleteFileButton.SetDown(true);
    f.Script(std::string("write 5000\n") + ending);
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    f.Tick();
    ASSERT_EQ(f.system.dialogs.Messages().size(), 1u) << ending;
    EXPECT_EQ(f.system.dialogs.Messages()[0].text, "BladeEnc halts!");
    EXPECT_EQ(f.system.dialogs.Messages()[0].caption, "Error!");
    EXPECT_EQ(f.Status(0), "Queued") << ending;
    EXPECT_FALSE(f.blade.Engine().Timer.Enabled()) << ending << ": the batch does not hang";
    EXPECT_TRUE(std::filesystem::exists(f.temp / "song.mp3")) << "a halt leaves the output";
  }
}

TEST(Engine, ResetRequeuesAFinishedQueue) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("a.wav"));
  f.blade.AddPath(f.Wave("b.wav"));
  f.blade.Encode.UserClick();
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.Status(1), "Preparing...") << "the next job started at once";
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
  EXPECT_TRUE(f.Status(0).starts_with("Completed in "));

  f.blade.Encode.UserClick();
  EXPECT_EQ(f.Status(0), "Queued");
  EXPECT_EQ(f.Status(1), "Queued");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 0);
  EXPECT_EQ(f.blade.Encode.Caption(), "Encode");
  EXPECT_FALSE(f.blade.Engine().Timer.Enabled()) << "the first press only re-queues";
  EXPECT_FALSE(f.Entry(0).Started);
  EXPECT_TRUE(f.Entry(0).Encoded) << "kept";

  f.system.dialogs.AnswerNext(MessageAnswer::Yes);  // overwrite a.mp3
  f.blade.Encode.UserClick();
  EXPECT_TRUE(f.blade.Engine().Timer.Enabled());
  f.WaitUntilEnded();
}

TEST(Engine, TheBatchEndsByClosingOrPoweringOff) {
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.ShutDown.SetDown(true);
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    f.Tick();
    EXPECT_EQ(f.system.power.requests, 1);
    EXPECT_FALSE(f.blade.Form.Closed());
  }
  {
    EngineFixture f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.CloseProg.SetDown(true);
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    f.Tick();
    EXPECT_TRUE(f.blade.Form.Closed());
    EXPECT_EQ(f.system.power.requests, 0);
  }
}

TEST(Engine, ClosingWhileEncodingAsksAndWaitsForTheStoppedJob) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("a.wav"));
  f.Script("write 100\nwait never\n");
  f.blade.Encode.UserClick();
  f.system.dialogs.AnswerNext(MessageAnswer::No);
  f.blade.Bye.UserClick();
  EXPECT_FALSE(f.blade.Form.Closed());
  EXPECT_EQ(f.system.dialogs.Messages().back().text,
            "Encoding is not completed.\rAre you sure to lose changes?");
  EXPECT_TRUE(f.blade.Engine().Timer.Enabled());

  f.system.dialogs.AnswerNext(MessageAnswer::Yes);
  f.blade.Bye.UserClick();
  EXPECT_TRUE(f.blade.Form.Closed());
  EXPECT_FALSE(f.blade.Engine().Timer.Enabled()) << "the next tick ended the job before the close";
  EXPECT_EQ(f.Status(0), "Queued");

  EngineFixture unattended;
  unattended.blade.AddPath(unattended.Wave("a.wav"));
  unattended.Script("write 100\nwait never\n");
  unattended.blade.Encode.UserClick();
  unattended.blade.CloseUnattended();
  EXPECT_TRUE(unattended.blade.Form.Closed()) << "a signal closes without asking";
  EXPECT_TRUE(unattended.system.dialogs.Messages().empty());

  EngineFixture idle;
  idle.blade.Bye.UserClick();
  EXPECT_TRUE(idle.blade.Form.Closed()) << "Bye while idle just closes";
  EXPECT_TRUE(idle.system.dialogs.Messages().empty());
}

TEST(Engine, StopAfterPause) {
  EngineFixture f;
  f.blade.AddPath(f.Wave("a.wav"));
  f.Script("write 100\nwait never\n");
  f.blade.Encode.UserClick();
  f.blade.Pause.UserClick();
  f.blade.Stop.UserClick();
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.Status(0), "Queued");
  EXPECT_FALSE(f.blade.Pause.Down());
  EXPECT_FALSE(f.blade.Pause.Enabled());
}

}  // namespace
}  // namespace tolvane::app
