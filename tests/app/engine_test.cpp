#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "encoding_window.h"
#include "settings/settings_store.h"
#include "shell/intake.h"

namespace tolvane::app {
namespace {

using ui::MessageAnswer;

TEST(Engine, NothingToDo) {
  EncodingWindow f;
  f.system.dialogs.AnswerNext(MessageAnswer::Ok);
  f.blade.Encode.UserClick();
  ASSERT_EQ(f.system.dialogs.Messages().size(), 1u);
  EXPECT_EQ(f.system.dialogs.Messages()[0].text, "Nothing to do!");
  EXPECT_EQ(f.system.dialogs.Messages()[0].caption, "Warning");
  EXPECT_EQ(f.system.dialogs.Messages()[0].icon, ui::MessageIcon::Warning);
  EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled());
  EXPECT_TRUE(f.blade.Encode.Enabled());
  EXPECT_FALSE(f.blade.Encode.Down()) << "back to idle";
}

TEST(Engine, ProgressIsReadFromTheGrowingOutput) {
  EncodingWindow f;
  f.blade.AddPath(f.Wave("song.wav"));  // 60 s of CD sound, 960,004 bytes at 128 kbps
  // 240,001 bytes of MP3 stand for a quarter of the source.
  f.Script(
      "wait @/go1\nwrite 240001\nwait @/go2\nwrite 720003\nwait @/go3\nwrite 480000\nwait "
      "@/end\nexit 0\n");
  f.blade.Encode.UserClick();
  ASSERT_TRUE(f.blade.Engine().ProgressTimer().Enabled());
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
  f.blade.DefaultValues().estimate_mode = 1;
  f.Go("go2");
  f.WaitForSize(f.temp / "song.mp3", 960004);
  f.Tick();
  EXPECT_EQ(f.Status(0), "100% completed");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 4);

  f.Go("go3");
  f.WaitForSize(f.temp / "song.mp3", 1440004);
  f.Tick();
  EXPECT_EQ(f.Status(0), "100% completed") << "an output past its estimate is done, not more";
  EXPECT_EQ(f.blade.AllBar3.Panel(4).Text(), "100%");
  EXPECT_EQ(f.blade.Completed.Position(), 100);

  f.Go("end");
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.Status(0), "Completed in 00:01:03");
  EXPECT_EQ(f.blade.Queue.Item(0).ImageIndex(), 4);
  EXPECT_EQ(f.blade.Encode.Caption(), "Reset");
  EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled());
  EXPECT_TRUE(f.blade.Encode.Enabled());
  EXPECT_EQ(f.Entry(0).EncodeTime, 63);
  EXPECT_TRUE(f.Entry(0).Encoded);
  EXPECT_TRUE(f.Entry(0).Started) << "stays set after a normal completion";
}

TEST(Engine, TheTitleShowsProgressOnlyWhileMinimisedOrInactive) {
  EncodingWindow f;
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

// The batch's elapsed time leaves out pauses (while paused it blinks) and the time a stopped or
// halted job had shown (also while its stop question stood open, and for a halt before the first
// tick), goes on from where it stood when the batch is started again, and after a Reset starts
// anew however much work leaves the queue.
TEST(Engine, TheBatchClockLeavesOutPausesAndStoppedJobs) {
  EncodingWindow f;
  const ui::StatusPanel& elapsed = f.blade.AllBar3.Panel(1);
  f.blade.AddPath(f.Wave("a.wav"));
  f.blade.AddPath(f.Wave("b.wav"));
  const auto halt = [&] {
    f.system.dialogs.AnswerNext(MessageAnswer::Ok);  // "BladeEnc halts!"
    f.WaitUntilEnded();
    ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  };
  f.Script("exit 255\n");
  f.blade.Encode.UserClick();
  halt();
  f.Script("write 100\nwait @/end-a\nexit 0\n");
  f.blade.Encode.UserClick();
  f.WaitForSize(f.temp / "a.mp3", 100);  // a has read its script
  f.Tick(20'000);
  EXPECT_EQ(elapsed.Text(), "00:00:20");

  f.Script("write 240001\nwait never\n");  // b's script, read when b starts
  f.Go("end-a");
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  ASSERT_EQ(f.Status(1), "Preparing...");
  f.WaitForSize(f.temp / "b.mp3", 240001);
  f.Tick(5000);
  EXPECT_EQ(elapsed.Text(), "00:00:25");

  f.blade.Pause.UserClick();
  ASSERT_TRUE(f.blade.Pause.Down());
  f.Tick();
  EXPECT_EQ(elapsed.Style(), ui::PanelStyle::OwnerDraw) << "it blinks";
  EXPECT_EQ(elapsed.Text(), "00:00:25") << "nothing else moves";
  f.Tick();
  EXPECT_EQ(elapsed.Style(), ui::PanelStyle::Text);
  f.Tick();
  f.system.clock.Advance(27'000);
  f.blade.Pause.UserClick();
  EXPECT_FALSE(f.blade.Pause.Down());
  EXPECT_EQ(elapsed.Style(), ui::PanelStyle::Text);
  f.Tick();
  EXPECT_EQ(elapsed.Text(), "00:00:26") << "30 s of pause left out";
  EXPECT_EQ(f.blade.AllBar2.Panel(0).Text(), "00:03:02") << "the batch's: 26 s for an eighth";
  f.blade.DefaultValues().estimate_mode = 0;
  f.Tick();
  EXPECT_EQ(f.blade.AllBar2.Panel(0).Text(), "00:00:21") << "the file's: 7 s for 25 %";

  f.system.dialogs.AnswerNext(MessageAnswer::Yes, [&] { f.Tick(40'000); });  // stop, after 40 s
  f.blade.Stop.UserClick();
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  ASSERT_EQ(f.Status(1), "Queued");
  f.system.clock.Advance(100'000);
  f.Script("write 100\nwait @/halt-b\nexit 255\n");
  f.system.dialogs.AnswerNext(MessageAnswer::Yes);  // b.mp3 is there: replace it
  f.blade.Encode.UserClick();
  f.Tick();
  EXPECT_EQ(elapsed.Text(), "00:00:21") << "on from the 20 s before the stopped job";
  f.Tick(5000);
  f.Go("halt-b");
  halt();
  f.Script("write 100\nwait @/end-b\nexit 0\n");
  f.system.dialogs.AnswerNext(MessageAnswer::Yes);
  f.blade.Encode.UserClick();
  f.Tick();
  EXPECT_EQ(elapsed.Text(), "00:00:21") << "on from the 20 s before the halted job";
  f.system.clock.Advance(30'000);
  f.Go("end-b");
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  ASSERT_EQ(f.blade.Encode.Caption(), "Reset");

  // After a Reset, work that leaves the queue (b's 31 s) is not in the clock, which starts anew.
  f.blade.Encode.UserClick();
  EXPECT_EQ(elapsed.Text(), "00:00:00");
  f.blade.Queue.Item(1).SetSelected(true);
  f.blade.Editing().RemoveFileClick();
  ASSERT_EQ(f.blade.Queue.Count(), 1);
  f.Script("write 100\nwait @/end-c\nexit 0\n");
  f.system.dialogs.AnswerNext(MessageAnswer::Yes);  // a.mp3 is there: replace it
  f.blade.Encode.UserClick();
  f.Tick();
  EXPECT_EQ(elapsed.Text(), "00:00:01");
  f.Go("end-c");
}

// Each way a job ends: a stop (asked first; No lets the job go on) puts the file back in the
// queue, its partial MP3 deleted when so set; an encoder that fails halts the batch with a box,
// keeps what it wrote and leaves its own word on why on the row; an output still empty (the
// encoder could not read its input) goes.
TEST(Engine, StopAndHalt) {
  struct Case {
    const char* script;
    bool stop;
    bool delete_partial;
    const char* message;  // the last box
    bool output_left;
    const char* hint;
  };
  const char* const kStopQuestion = "Task is not completed.\rAre you sure to lose changes?";
  const Case cases[] = {
      {"write 5000\nwait never\n", true, false, kStopQuestion, true, ""},
      {"write 5000\nwait never\n", true, true, kStopQuestion, false, ""},
      {"write 5000\nerror disk-full\nexit 255\n", false, true, "BladeEnc halts!", true,
       "disk-full"},
      {"write 5000\nexit 255\n", false, true, "BladeEnc halts!", true, ""},
      {"write 5000\nexit 1\n", false, true, "BladeEnc halts!", true, ""},
      {"write 5000\nexit 3\n", false, false, "BladeEnc halts!", true, ""},
      {"exit 255\n", false, false, "BladeEnc halts!", false, ""},
  };
  for (const Case& c : cases) {
    EncodingWindow f;
    f.blade.AddPath(f.Wave("song.wav"));
    f.Script(c.script);
    f.blade.DeleteFileButton.SetDown(c.delete_partial);
    if (!c.stop)
      f.system.dialogs.AnswerNext(MessageAnswer::Ok);
    f.blade.Encode.UserClick();
    if (c.stop) {
      f.WaitForSize(f.temp / "song.mp3", 5000);
      f.Tick();
      f.system.dialogs.AnswerNext(MessageAnswer::No);
      f.blade.Stop.UserClick();
      EXPECT_TRUE(f.blade.Encode.Down()) << "No: the job goes on";
      EXPECT_FALSE(f.blade.Stop.Down());
      f.Tick();
      EXPECT_TRUE(f.blade.Engine().ProgressTimer().Enabled());
      f.system.dialogs.AnswerNext(MessageAnswer::Yes);
      f.blade.Stop.UserClick();
      EXPECT_EQ(f.blade.Stop.Caption(), "Stoping...");
    }
    f.WaitUntilEnded();
    f.Tick();
    ASSERT_FALSE(f.system.dialogs.Messages().empty()) << c.script;
    EXPECT_EQ(f.system.dialogs.Messages().back().text, c.message) << c.script;
    if (!c.stop) {
      EXPECT_EQ(f.system.dialogs.Messages().back().caption, "Error!");
    }
    EXPECT_EQ(f.Status(0), "Queued") << c.script;
    EXPECT_EQ(f.blade.Queue.Item(0).Hint(), c.hint)
        << c.script << ": the encoder's own word on why, on its row";
    EXPECT_EQ(f.blade.Stop.Caption(), "Stop");
    EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled())
        << c.script << ": the batch does not hang";
    EXPECT_FALSE(f.Entry(0).Started);
    EXPECT_EQ(f.blade.Encode.Caption(), "Encode") << "the next Encode continues";
    EXPECT_EQ(std::filesystem::exists(f.temp / "song.mp3"), c.output_left) << c.script;
  }
}

TEST(Engine, ResetRequeuesAFinishedQueue) {
  EncodingWindow f;
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
  EXPECT_FALSE(f.blade.Engine().ProgressTimer().Enabled()) << "the first press only re-queues";
  EXPECT_FALSE(f.Entry(0).Started);
  EXPECT_TRUE(f.Entry(0).Encoded) << "kept";

  f.system.dialogs.AnswerNext(MessageAnswer::Yes);  // overwrite a.mp3
  f.blade.Encode.UserClick();
  EXPECT_TRUE(f.blade.Engine().ProgressTimer().Enabled());
  f.WaitUntilEnded();
}

TEST(Engine, TheBatchEndsByClosingOrPoweringOff) {
  {
    EncodingWindow f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.ShutDown.SetDown(true);
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    f.Tick();
    EXPECT_EQ(f.system.power.requests, 1);
    EXPECT_EQ(f.system.registry.ReadString(settings::kSettingsKey, "Shutdown").text, "1")
        << "the settings were saved first";
    EXPECT_FALSE(f.blade.Form.Closed());
  }
  {
    EncodingWindow f;
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.CloseProg.SetDown(true);
    f.blade.Encode.UserClick();
    f.WaitUntilEnded();
    f.Tick();
    EXPECT_TRUE(f.blade.Form.Closed());
    EXPECT_EQ(f.system.power.requests, 0);
  }
}

// A close while a job runs asks first (No: it goes on); Yes, or a close nobody can answer (a
// signal: no box), stops the job, saves, and closes once the job has ended. What arrives during
// that wait (a name handed over, with Autostart on) starts nothing, and the saved queue keeps the
// stopped file and the new one. Bye while idle just closes.
TEST(Engine, ClosingWhileEncodingAsksAndWaitsForTheStoppedJob) {
  for (bool unattended : {false, true}) {
    EncodingWindow f;
    f.blade.SaveListButton.SetDown(true);
    f.blade.Autostart.SetDown(true);
    f.Script("write 100\nwait never\n");
    f.blade.AddPath(f.Wave("a.wav"));
    ASSERT_TRUE(f.blade.Engine().Running());
    const std::string b = f.Wave("b.wav");
    const auto deliver = f.loop.on_wait;
    f.loop.on_wait = [&](unsigned ms) {
      deliver(ms);
      f.blade.AddPath(b);
    };
    if (unattended) {
      f.blade.CloseUnattended();
    } else {
      f.system.dialogs.AnswerNext(MessageAnswer::No);
      f.blade.Bye.UserClick();
      EXPECT_FALSE(f.blade.Form.Closed());
      EXPECT_EQ(f.system.dialogs.Messages().back().text,
                "Encoding is not completed.\rAre you sure to lose changes?");
      EXPECT_TRUE(f.blade.Engine().ProgressTimer().Enabled());
      f.system.dialogs.AnswerNext(MessageAnswer::Yes);
      f.blade.Bye.UserClick();
    }
    EXPECT_TRUE(f.blade.Form.Closed()) << unattended;
    EXPECT_EQ(f.system.dialogs.Messages().size(), unattended ? 0u : 2u)
        << "a signal closes without asking";
    EXPECT_FALSE(f.blade.Engine().Running()) << "the job ended before the close, and no other";
    ASSERT_EQ(f.blade.Queue.Count(), 2) << "the handed-over name arrived";
    EXPECT_EQ(f.Status(0), "Queued");
    EXPECT_EQ(f.Status(1), "Queued");
    EXPECT_EQ(f.SavedPaths(), (std::vector<std::string>{f.temp / "a.wav", b})) << unattended;
  }

  EncodingWindow idle;
  idle.blade.Bye.UserClick();
  EXPECT_TRUE(idle.blade.Form.Closed()) << "Bye while idle just closes";
  EXPECT_TRUE(idle.system.dialogs.Messages().empty());
}

// A job that completes under Pause lets the next one start, held as Pause says; Stop ends it.
TEST(Engine, StopAfterPause) {
  EncodingWindow f;
  f.blade.AddPath(f.Wave("a.wav"));
  f.blade.AddPath(f.Wave("b.wav"));
  f.Script("write 100\nwait @/end-a\nexit 0\n");
  f.blade.Encode.UserClick();
  f.WaitForSize(f.temp / "a.mp3", 100);
  f.Script("write 100\nwait never\n");
  f.Go("end-a");
  f.WaitUntilEnded();
  f.blade.Pause.UserClick();
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  ASSERT_EQ(f.Status(1), "Preparing...");
  EXPECT_TRUE(f.blade.Pause.Down() && f.blade.Engine().Paused()) << "b waits, suspended";
  f.system.dialogs.AnswerNext(MessageAnswer::Yes);
  f.blade.Stop.UserClick();
  f.WaitUntilEnded();
  f.Tick();
  EXPECT_EQ(f.Status(1), "Queued");
  EXPECT_FALSE(f.blade.Pause.Down());
  EXPECT_FALSE(f.blade.Pause.Enabled());
}

// This process's encoders that are alive (an ended one waiting to be reaped does not count).
int LiveEncoders() {
  int count = 0;
  const std::string parent = std::to_string(::getpid());
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, command, state, ppid;
    if (stat >> pid >> command >> state >> ppid && command == "(fake_bladeenc)" && state != "Z" &&
        ppid == parent) {
      ++count;
    }
  }
  return count;
}

// Every way in (the Encode button, an add with Autostart, a file handed over, Stop, Pause, a
// signal's close) while each of the engine's questions is open: never a second encoder, and
// every row ends as the answered question and the way in say.
TEST(Engine, NothingStartsUnderAnOpenQuestion) {
  enum class Question { Overwrite, Space, Stop, Close, Halted };
  enum class Way { Encode, AddWithAutostart, HandedOver, Stop, Pause, Signal };
  struct Case {
    Question question;
    Way way;
    std::vector<std::string> statuses;  // "C" for "Completed in ...", else the status
    bool closed = false;
  };
  const std::vector<std::string> done = {"C", "C"}, done3 = {"C", "C", "C"};
  const std::vector<std::string> idle = {"Queued", "Queued"},
                                 idle3 = {"Queued", "Queued", "Queued"};
  std::vector<Case> cases;
  for (const Question q : {Question::Overwrite, Question::Space}) {
    for (const Way w : {Way::Encode, Way::Stop, Way::Pause})
      cases.push_back({q, w, done});
    cases.push_back({q, Way::AddWithAutostart, done3});
    cases.push_back({q, Way::HandedOver, done3});
    cases.push_back({q, Way::Signal, {"C", "Queued"}, true});
  }
  for (const Way w : {Way::Encode, Way::Stop, Way::Pause})
    cases.push_back({Question::Stop, w, idle});
  cases.push_back({Question::Stop, Way::AddWithAutostart, idle3});
  cases.push_back({Question::Stop, Way::HandedOver, idle3});
  cases.push_back({Question::Stop, Way::Signal, idle, true});
  for (const Way w : {Way::Encode, Way::Stop, Way::Pause})
    cases.push_back({Question::Close, w, done});
  cases.push_back({Question::Close, Way::AddWithAutostart, done3});
  cases.push_back({Question::Close, Way::HandedOver, done3});
  cases.push_back({Question::Close, Way::Signal, idle, true});
  cases.push_back({Question::Halted, Way::Encode, done});
  cases.push_back({Question::Halted, Way::Stop, idle});
  cases.push_back({Question::Halted, Way::Pause, idle});
  cases.push_back({Question::Halted, Way::AddWithAutostart, done3});
  cases.push_back({Question::Halted, Way::HandedOver, done3});
  cases.push_back({Question::Halted, Way::Signal, idle, true});

  constexpr const char* kWait = "write 1000\nwait @/go\nexit 0\n";
  for (const Case& c : cases) {
    static constexpr const char* kQuestions[] = {"overwrite", "space", "stop", "close", "halted"};
    static constexpr const char* kWays[] = {"Encode", "add",   "handed over",
                                            "Stop",   "Pause", "signal"};
    const std::string name = std::string(kQuestions[static_cast<int>(c.question)]) + " question, " +
                             kWays[static_cast<int>(c.way)];
    EncodingWindow f;
    f.blade.OutputFolder.SetText(f.temp / "out/");
    std::filesystem::create_directories(f.temp / "out");
    testing::WriteText(f.temp / "out/b.mp3", "old");  // b's launch asks
    f.blade.OffOverWrite.SetDown(c.question != Question::Overwrite);
    f.blade.AddPath(f.Wave("a.wav"));
    f.blade.AddPath(f.Wave("b.wav"));
    const std::string c_wav = f.Wave("c.wav");
    if (c.question == Question::Space)
      f.Entry(1).RequiredSize = int64_t{1} << 60;
    shell::Intake intake({[&f](const std::string& path) { f.blade.AddPath(path); },
                          [&f] { f.blade.UpdateTotals(); }, [] {}});
    const auto way_in = [&] {
      switch (c.way) {
        case Way::Encode:
          f.blade.EncodeClick();
          break;
        case Way::AddWithAutostart:
          f.blade.Autostart.SetDown(true);
          f.blade.AddPath(c_wav);
          break;
        case Way::HandedOver:
          f.blade.Autostart.SetDown(true);
          intake.Execute(shell::PathCommand(c_wav));
          intake.ConversationEnded();
          break;
        case Way::Stop:
          f.blade.Engine().Stop();
          break;
        case Way::Pause:
          f.blade.Engine().SetPaused(true);
          break;
        case Way::Signal:
          f.blade.CloseUnattended();
          break;
      }
      EXPECT_LE(LiveEncoders(), 1) << name << ": under the question";
    };
    const bool yes = c.question != Question::Space && c.question != Question::Close;
    f.system.dialogs.AnswerNext(c.question == Question::Halted ? MessageAnswer::Ok
                                : yes                          ? MessageAnswer::Yes
                                                               : MessageAnswer::No,
                                way_in);
    if (c.question == Question::Space)
      f.system.dialogs.AnswerNext(MessageAnswer::No);  // the target folder's volume is asked too

    f.Script(c.question == Question::Halted ? "exit 255\n" : kWait);
    f.blade.EncodeClick();
    // a halts at once, or has read its script and waits.
    if (c.question == Question::Halted) {
      f.WaitUntilEnded();
    } else {
      f.WaitForSize(f.temp / "out/a.mp3", 1000);
    }
    f.Script(kWait);
    switch (c.question) {
      case Question::Overwrite:
      case Question::Space:
        f.Go("go");  // a completes: b's launch asks
        f.WaitUntilEnded();
        std::filesystem::remove(f.temp / "go");
        ASSERT_TRUE(f.loop.Pump(testing::kHangLimit)) << name;
        break;
      case Question::Stop:
        f.blade.StopClick();
        break;
      case Question::Close:
        f.blade.Form.Close();
        break;
      case Question::Halted:
        ASSERT_TRUE(f.loop.Pump(testing::kHangLimit)) << name;
        break;
    }
    EXPECT_LE(LiveEncoders(), 1) << name << ": after the answer";
    // The rest of the batch runs to its end.
    for (int round = 0; round < 5 && f.blade.Engine().Running(); ++round) {
      f.Go("go");
      f.WaitUntilEnded();
      std::filesystem::remove(f.temp / "go");
      ASSERT_TRUE(f.loop.Pump(testing::kHangLimit)) << name;
      EXPECT_LE(LiveEncoders(), 1) << name;
    }
    EXPECT_FALSE(f.blade.Engine().Running()) << name;
    std::vector<std::string> statuses;
    for (int i = 0; i < f.blade.Queue.Count(); ++i)
      statuses.push_back(f.Status(i).starts_with("Completed in ") ? "C" : f.Status(i));
    EXPECT_EQ(statuses, c.statuses) << name;
    EXPECT_EQ(f.blade.Form.Closed(), c.closed) << name;
    EXPECT_EQ(f.system.dialogs.Messages().size(), c.question == Question::Space ? 2u : 1u)
        << name << ": only the question";
  }
}

}  // namespace
}  // namespace tolvane::app
