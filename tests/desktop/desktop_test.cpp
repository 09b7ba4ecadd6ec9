// The real program in a real window on a private X display with a window manager, driven as a
// user drives it: what only a desktop shows (drops, context menus, frames, where clicks land).
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "desktop_session.h"
#include "support/audio_files.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kProgram = TOLVANE_BUILD_DIR "/tolvane";
constexpr const char* kHelper = TOLVANE_BUILD_DIR "/tests/desktop_helper";
constexpr const char* kTitle = "^Tolvane 2\\.99c$";
constexpr int kClientHeight = 365;
// The middle of the queue's first row in the window's client area, and the rows' pitch.
constexpr int kFirstRowY = 54;
constexpr int kRowStep = 17;

// One start of the program on the test display, with its own settings, state and folders.
struct Desktop {
  TempFolder temp;
  DesktopSession session;
  std::unique_ptr<ChildProcess> program;
  std::string window;

  // Starts the program with "Job save" on (so its queue can be read after the close), the
  // window at `left`, `top`, and the given extra settings lines.
  void Start(const std::vector<std::string>& arguments, int left, int top,
             const std::string& settings = {}, const std::string& folder = {},
             const std::map<std::string, std::string>& more_environment = {}) {
    ASSERT_TRUE(session.Ready()) << session.Failure();
    WriteSettings("\"Left\"=\"" + std::to_string(left) + "\"\n\"Top\"=\"" + std::to_string(top) +
                  "\"\n" + settings);
    program = std::make_unique<ChildProcess>(kProgram, arguments, EnvironmentWith(more_environment),
                                             temp / "tolvane.log", folder);
    const std::optional<std::string> found = session.FindWindow(kTitle, kHangLimit);
    ASSERT_TRUE(found) << ReadText(temp / "tolvane.log");
    window = *found;
    // The window manager has framed and placed it.
    EXPECT_TRUE(session.WaitUntilStill(kHangLimit));
  }

  // The settings file: "Job save" on, then `lines`.
  void WriteSettings(const std::string& lines) const {
    std::filesystem::create_directories(temp / "config/tolvane");
    WriteText(temp / "config/tolvane/HKEY_CURRENT_USER.reg",
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Orvik\\Tolvane]\n\"Savelist\"=\"1\"\n" +
                  lines);
  }

  // The display's environment, the program's own folders, and `more`.
  std::map<std::string, std::string> EnvironmentWith(
      std::map<std::string, std::string> more = {}) const {
    more.emplace("XDG_CONFIG_HOME", temp / "config");
    more.emplace("XDG_STATE_HOME", temp / "state");
    more.emplace("XDG_RUNTIME_DIR", temp / "runtime");
    return session.EnvironmentWith(more);
  }

  // Moves the pointer to a point of the window's client area.
  void PointAt(int x, int y) const {
    const DesktopSession::Box client = session.ClientArea(window);
    session.Xdotool(
        {"mousemove", "--sync", std::to_string(client.x + x), std::to_string(client.y + y)});
  }
  void ClickAt(int x, int y, const std::string& button = "1") const {
    PointAt(x, y);
    session.Xdotool({"click", button});
  }
  // Closes the program as the session's end would; the queue it saved, as text.
  std::string CloseAndReadQueue() {
    program->Signal(SIGTERM);
    EXPECT_EQ(program->WaitFor(kHangLimit), 0) << ReadText(temp / "tolvane.log");
    return ReadText(temp / "state/tolvane/tolvane.dat");
  }
  // The bottom edge of the window's frame on the screen.
  int OuterBottom() const {
    const DesktopSession::Box client = session.ClientArea(window);
    return client.y + client.height + session.FrameExtents(window).bottom;
  }
};

// Where `names` stand in the saved queue; npos for one that is not there.
std::vector<size_t> Offsets(const std::string& queue, const std::vector<std::string>& names) {
  std::vector<size_t> offsets;
  for (const std::string& name : names)
    offsets.push_back(queue.find(name));
  return offsets;
}

bool InOrder(const std::vector<size_t>& offsets) {
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (offsets[i] == std::string::npos || (i > 0 && offsets[i] < offsets[i - 1]))
      return false;
  }
  return true;
}

// Files and a folder dragged from another program (as from a file manager) and let go over the
// queue are queued in order, the folder with what is in it.
TEST(Desktop, FilesAndAFolderDraggedFromAnotherProgramAreQueuedInOrder) {
  Desktop d;
  const std::string a = d.temp / "a.wav";
  const std::string b = d.temp / "b.wav";
  WriteWave(a, {.data_bytes = 176'400});
  WriteWave(b, {.data_bytes = 176'400});
  std::filesystem::create_directories(d.temp / "album");
  WriteWave(d.temp / "album/inside.wav", {.data_bytes = 176'400});
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 300));
  ChildProcess source(kHelper, {"drag", a, d.temp / "album", b}, d.session.Environment());
  const std::optional<std::string> source_window =
      d.session.FindWindow("^drag source$", kHangLimit);
  ASSERT_TRUE(source_window);
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit));

  // Press on the source, move over the queue in steps, and let go there.
  const DesktopSession::Box from = d.session.ClientArea(*source_window);
  const DesktopSession::Box to = d.session.ClientArea(d.window);
  const int x0 = from.x + 40, y0 = from.y + 40, x1 = to.x + 250, y1 = to.y + 130;
  d.session.Xdotool({"mousemove", "--sync", std::to_string(x0), std::to_string(y0)});
  d.session.Xdotool({"mousedown", "1"});
  for (int step = 1; step <= 10; ++step) {
    // The hand's pace, not a wait: the drag sees a motion at a time.
    std::this_thread::sleep_for(60ms);
    d.session.Xdotool({"mousemove", "--sync", std::to_string(x0 + (x1 - x0) * step / 10),
                       std::to_string(y0 + (y1 - y0) * step / 10)});
  }
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit)) << "the drop target shows it takes the files";
  d.session.Xdotool({"mouseup", "1"});
  EXPECT_EQ(source.WaitFor(kHangLimit), 0) << "the drop was taken";
  d.session.Screenshot("dropped.png");

  const std::string queue = d.CloseAndReadQueue();
  EXPECT_TRUE(InOrder(Offsets(queue, {a, d.temp / "album/inside.wav", b}))) << queue;
}

// The right button on a row outside the selection selects that row first, as list views do on
// every desktop; on the empty part of the list it offers Add.
TEST(Desktop, TheRightButtonOnTheQueueOffersAdd) {
  Desktop d;
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    WriteWave(d.temp / name, {.data_bytes = 17'640});
  ASSERT_NO_FATAL_FAILURE(
      d.Start({d.temp / "a.wav", d.temp / "b.wav", d.temp / "c.wav"}, 400, 300));
  // Each step waits for what it shows: the rows queued, the menu open, then closed, the row gone.
  const auto saved = [&](const char* name) {
    return ReadText(d.temp / "state/tolvane/tolvane.dat").find(d.temp / name) != std::string::npos;
  };
  ASSERT_TRUE(Eventually([&] { return saved("c.wav"); }, kHangLimit)) << "all three queued";
  const int windows = d.session.VisibleWindows();
  d.ClickAt(100, kFirstRowY);                      // a
  d.ClickAt(100, kFirstRowY + 2 * kRowStep, "3");  // c, and its menu
  ASSERT_TRUE(Eventually([&] { return d.session.VisibleWindows() > windows; }, kHangLimit));
  d.session.Xdotool({"key", "Escape"});
  ASSERT_TRUE(Eventually([&] { return d.session.VisibleWindows() == windows; }, kHangLimit));
  d.session.Xdotool({"key", "Delete"});  // the selection goes
  EXPECT_TRUE(Eventually([&] { return !saved("c.wav"); }, kHangLimit)) << "c alone was removed";
  d.ClickAt(250, 150, "3");
  EXPECT_TRUE(Eventually([&] { return d.session.VisibleWindows() > windows; }, kHangLimit))
      << "the menu opened";
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit));
  d.session.Screenshot("files-menu.png");
  // "Add..." is the menu's first item.
  d.session.Xdotool({"key", "Down", "Return"});
  EXPECT_TRUE(d.session.FindWindow("^Open$", kHangLimit)) << "the Add dialog opens";
  d.session.Screenshot("add-dialog.png");
  d.session.Xdotool({"key", "Escape"});
  const std::string queue = d.CloseAndReadQueue();
  EXPECT_TRUE(InOrder(Offsets(queue, {d.temp / "a.wav", d.temp / "b.wav"})));
  EXPECT_EQ(queue.find(d.temp / "c.wav"), std::string::npos);
}

TEST(Desktop, ARelativeNameOnTheCommandLineMeansTheFolderItWasGivenIn) {
  Desktop d;
  std::filesystem::create_directories(d.temp / "music");
  WriteWave(d.temp / "music/song.wav", {.data_bytes = 176'400});
  ASSERT_NO_FATAL_FAILURE(d.Start({"song.wav"}, 400, 300, {}, d.temp / "music"));
  // A window of fixed size asks for no maximise button nor function (the Motif hints every
  // window manager reads), and the window manager offers none.
  const std::string actions = d.session.Property(d.window, "_NET_WM_ALLOWED_ACTIONS");
  EXPECT_NE(actions.find("_NET_WM_ACTION_MINIMIZE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("MAXIMIZE"), std::string::npos) << actions;
  const std::string motif = d.session.Property(d.window, "_MOTIF_WM_HINTS");
  unsigned flags = 0, functions = 0, decorations = 0;
  ASSERT_EQ(std::sscanf(motif.c_str() + motif.find('=') + 1, " %x, %x, %x", &flags, &functions,
                        &decorations),
            3)
      << motif;
  // With the "all" bit (1) set, the other bits name what is left out.
  const auto offers = [](unsigned hints, unsigned bit) {
    return (hints & 1) != 0 ? (hints & bit) == 0 : (hints & bit) != 0;
  };
  EXPECT_TRUE((flags & 1) != 0 && !offers(functions, 0x10)) << "no maximise function: " << motif;
  EXPECT_TRUE((flags & 2) != 0 && !offers(decorations, 0x40)) << "no maximise button: " << motif;
  EXPECT_TRUE(offers(decorations, 0x20)) << "a minimise button: " << motif;
  // A double click on the title bar, which maximises other windows, leaves it as it is.
  const DesktopSession::Box before = d.session.ClientArea(d.window);
  d.session.Xdotool({"mousemove", "--sync", std::to_string(before.x + 100),
                     std::to_string(before.y - d.session.FrameExtents(d.window).top / 2)});
  d.session.Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
  d.session.WaitUntilStill(2s);
  const DesktopSession::Box after = d.session.ClientArea(d.window);
  EXPECT_EQ(std::make_pair(after.width, after.height), std::make_pair(before.width, before.height));
  EXPECT_EQ(d.session.Property(d.window, "_NET_WM_STATE").find("MAXIMIZED"), std::string::npos);
  const std::string queue = d.CloseAndReadQueue();
  EXPECT_NE(queue.find(d.temp / "music/song.wav"), std::string::npos) << queue;
}

// A later start with a file hands it to the running copy, whose minimised window comes back to
// the front; the later copy shows no window of its own and ends with 0.
TEST(Desktop, ALaterStartRestoresTheRunningCopysWindow) {
  Desktop d;
  WriteWave(d.temp / "song.wav", {.data_bytes = 176'400});
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 300));
  d.session.Xdotool({"windowminimize", "--sync", d.window});
  ASSERT_NE(d.session.Property(d.window, "_NET_WM_STATE").find("_NET_WM_STATE_HIDDEN"),
            std::string::npos);
  ChildProcess later(kProgram, {d.temp / "song.wav"},
                     d.session.EnvironmentWith({{"XDG_CONFIG_HOME", d.temp / "config"},
                                                {"XDG_STATE_HOME", d.temp / "state"},
                                                {"XDG_RUNTIME_DIR", d.temp / "runtime"}}));
  EXPECT_EQ(later.WaitFor(kHangLimit), 0);
  EXPECT_TRUE(Eventually(
      [&] {
        return d.session.Property(d.window, "_NET_WM_STATE").find("_NET_WM_STATE_HIDDEN") ==
               std::string::npos;
      },
      kHangLimit))
      << d.session.Property(d.window, "_NET_WM_STATE");
  d.session.Screenshot("restored-by-a-later-start.png");
  const std::string queue = d.CloseAndReadQueue();
  EXPECT_NE(queue.find(d.temp / "song.wav"), std::string::npos) << queue;
}

TEST(Desktop, CompactModeDockedAtTheBottomKeepsTheBottomEdge) {
  Desktop d;
  // Docked: the frame's bottom on the screen's bottom (the work area of a desktop without
  // panels). The frame is as wide as the window manager makes it.
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 300));
  const DesktopSession::Extents frame = d.session.FrameExtents(d.window);
  d.CloseAndReadQueue();
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 1024 - kClientHeight - frame.top - frame.bottom));
  ASSERT_EQ(d.OuterBottom(), 1024) << "docked at the start";

  d.PointAt(498, 278);  // the toolbar's background, right of its buttons
  d.session.Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_TRUE(Eventually([&] { return d.session.ClientArea(d.window).height < kClientHeight; },
                         kHangLimit));
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit));
  d.session.Screenshot("compact-docked.png");
  const DesktopSession::Box client = d.session.ClientArea(d.window);
  EXPECT_LT(client.height, kClientHeight) << "compact";
  EXPECT_EQ(d.OuterBottom(), 1024) << "the bottom edge stayed";
  d.CloseAndReadQueue();
}

TEST(Desktop, AClickOnTheBitrateButtonsFaceOpensItsMenu) {
  Desktop d;
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 300));
  const std::string files_page = d.session.ScreenDigest();
  d.ClickAt(80, 12);  // the "Settings" tab
  ASSERT_TRUE(d.session.WaitForChange(files_page, kHangLimit)) << "the page turned";
  const int windows = d.session.VisibleWindows();
  d.ClickAt(150, 68);  // the middle of the Bitrate button, under the toggles' labels
  // The menu is a window of its own, and takes the keyboard: Escape closes it.
  EXPECT_TRUE(Eventually([&] { return d.session.VisibleWindows() > windows; }, kHangLimit))
      << "a menu window opened";
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit));
  d.session.Screenshot("bitrate-menu-desktop.png");
  d.session.Xdotool({"key", "Escape"});
  d.CloseAndReadQueue();
}

// The folder picker on a real desktop: framed by the window manager with its frame's corner at
// the bottom left of "Target folder", holding the keyboard; Escape closes it and changes nothing.
TEST(Desktop, TheFolderPickerOpensBelowItsButtonAndTakesTheKeyboard) {
  Desktop d;
  ASSERT_NO_FATAL_FAILURE(d.Start({}, 400, 300));
  const std::string files_page = d.session.ScreenDigest();
  d.ClickAt(80, 12);  // the "Settings" tab
  ASSERT_TRUE(d.session.WaitForChange(files_page, kHangLimit)) << "the page turned";
  d.ClickAt(60, 217);  // "Target folder"
  const std::optional<std::string> picker = d.session.FindWindow("^Select folder$", kHangLimit);
  ASSERT_TRUE(picker) << ReadText(d.temp / "tolvane.log");
  EXPECT_TRUE(d.session.WaitUntilStill(kHangLimit));
  d.session.Screenshot("folder-picker-desktop.png");
  const DesktopSession::Box main = d.session.ClientArea(d.window);
  const DesktopSession::Box box = d.session.ClientArea(*picker);
  const DesktopSession::Extents frame = d.session.FrameExtents(*picker);
  EXPECT_EQ(box.width, 203);
  EXPECT_EQ(box.height, 233);
  // The button's bottom left corner, within the few pixels the page's frame may take.
  EXPECT_NEAR(box.x - frame.left, main.x + 8, 6);
  EXPECT_NEAR(box.y - frame.top, main.y + 229, 6);
  const std::string actions = d.session.Property(*picker, "_NET_WM_ALLOWED_ACTIONS");
  EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("MAXIMIZE"), std::string::npos) << "fixed size: " << actions;
  const auto picker_active = [&] {
    const std::string active = d.session.Run("/usr/bin/xdotool", {"getactivewindow"});
    return !active.empty() && std::stoul(active) == std::stoul(*picker, nullptr, 0);
  };
  EXPECT_TRUE(Eventually(picker_active, kHangLimit)) << "the picker has the keyboard";
  d.session.Xdotool({"key", "Escape"});
  EXPECT_TRUE(Eventually([&] { return !d.session.FindWindow("^Select folder$", 0ms); }, kHangLimit))
      << "Escape closed it";
  d.CloseAndReadQueue();
}

// A Wayland compositor with no screen (weston's headless back end), in a runtime folder of its
// own; it ends with the test.
struct Weston {
  TempFolder temp;
  std::string socket = temp / "runtime/wayland-test";
  std::unique_ptr<ChildProcess> compositor;

  bool Start() {
    std::filesystem::create_directories(temp / "runtime");
    std::filesystem::permissions(temp / "runtime", std::filesystem::perms::owner_all);
    compositor = std::make_unique<ChildProcess>(
        "/usr/bin/weston",
        std::vector<std::string>{"--backend=headless-backend.so", "--socket=wayland-test",
                                 "--idle-time=0"},
        std::map<std::string, std::string>{{"XDG_RUNTIME_DIR", temp / "runtime"},
                                           {"DISPLAY", kUnset},
                                           {"WAYLAND_DISPLAY", kUnset}},
        temp / "weston.log");
    return Eventually([&] { return std::filesystem::exists(socket); }, kHangLimit);
  }
};

// On a Wayland desktop with XWayland the window comes up on the X display, where it can place
// itself; with Wayland alone it runs natively: a later copy's file arrives, SIGTERM closes it
// with 0, and it prints nothing.
TEST(Desktop, OnAWaylandDesktop) {
  Weston weston;
  if (!std::filesystem::exists("/usr/bin/weston"))
    GTEST_SKIP() << "no weston";
  ASSERT_TRUE(weston.Start()) << ReadText(weston.temp / "weston.log");

  Desktop d;
  ASSERT_TRUE(d.session.Ready()) << d.session.Failure();
  const std::map<std::string, std::string> wayland_and_x =
      d.EnvironmentWith({{"QT_QPA_PLATFORM", kUnset},
                         {"XDG_SESSION_TYPE", "wayland"},
                         {"WAYLAND_DISPLAY", weston.socket}});
  {
    ChildProcess program(kProgram, {}, wayland_and_x, d.temp / "x.log");
    EXPECT_TRUE(d.session.FindWindow(kTitle, kHangLimit))
        << "on the X display: " << ReadText(d.temp / "x.log");
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitFor(kHangLimit), 0);
  }

  WriteWave(d.temp / "a.wav", {.data_bytes = 176'400});
  d.WriteSettings("");
  std::map<std::string, std::string> wayland_only = wayland_and_x;
  wayland_only["DISPLAY"] = kUnset;
  // The Wayland client libraries leak at exit, partly from a driver already unloaded that no
  // suppression can name; the program's own leaks are looked for everywhere else.
  wayland_only["ASAN_OPTIONS"] = "detect_leaks=0";
  ChildProcess program(kProgram, {}, wayland_only, d.temp / "wayland.log");
  ASSERT_TRUE(Eventually(
      [&] { return std::filesystem::exists(d.temp / "runtime/tolvane/tolvane.bladefiles"); },
      kHangLimit))
      << ReadText(d.temp / "wayland.log");
  ChildProcess later(kProgram, {d.temp / "a.wav"}, wayland_only, d.temp / "later.log");
  EXPECT_EQ(later.WaitFor(kHangLimit), 0) << ReadText(d.temp / "later.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitFor(kHangLimit), 0);
  EXPECT_EQ(ReadText(d.temp / "wayland.log"), "") << "nothing printed";
  EXPECT_EQ(ReadText(d.temp / "later.log"), "");
  EXPECT_NE(ReadText(d.temp / "state/tolvane/tolvane.dat").find(d.temp / "a.wav"),
            std::string::npos)
      << "the handed-over file arrived";
}

// A session bus with the accessibility bus beside it, as a desktop session has them; both end
// with the test.
struct AccessibilityBus {
  TempFolder temp;
  std::unique_ptr<ChildProcess> session_bus;
  std::unique_ptr<ChildProcess> launcher;
  std::string address;

  bool Start() {
    session_bus = std::make_unique<ChildProcess>(
        "/usr/bin/dbus-daemon",
        std::vector<std::string>{"--session", "--nofork", "--print-address=1"},
        std::map<std::string, std::string>{}, temp / "bus.txt");
    if (!Eventually([&] { return ReadText(temp / "bus.txt").find('\n') != std::string::npos; },
                    kHangLimit)) {
      return false;
    }
    address = ReadText(temp / "bus.txt");
    address.erase(address.find('\n'));
    launcher = std::make_unique<ChildProcess>(
        "/usr/libexec/at-spi-bus-launcher", std::vector<std::string>{"--launch-immediately"},
        std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", address}},
        temp / "launcher.log");
    return true;
  }
  // What the program and a screen reader need to meet on the bus.
  std::map<std::string, std::string> Environment() const {
    return {{"DBUS_SESSION_BUS_ADDRESS", address}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
  }
};

// Read as a screen reader reads it (through AT-SPI), every button has its role, its name and an
// action that presses it, the check boxes their checked state, the queue its rows' names and
// statuses; pressing Encode through its action starts the batch.
TEST(Desktop, AScreenReaderFindsTheControlsAndPressesEncode) {
  AccessibilityBus bus;
  if (!std::filesystem::exists("/usr/libexec/at-spi-bus-launcher"))
    GTEST_SKIP() << "no accessibility bus";
  ASSERT_TRUE(bus.Start()) << ReadText(bus.temp / "bus.txt");
  Desktop d;
  WriteWave(d.temp / "a.wav", {.data_bytes = 176'400});
  ASSERT_NO_FATAL_FAILURE(d.Start({d.temp / "a.wav"}, 100, 100,
                                  "\"BladePath\"=\"" TOLVANE_BUILD_DIR "/bladeenc\"\n", {},
                                  bus.Environment()));
  const auto probe = [&](const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {TOLVANE_SOURCE_DIR "/tests/desktop/atspi_probe.py", "tolvane"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    ChildProcess reader("/usr/bin/python3", all, d.EnvironmentWith(bus.Environment()),
                        d.temp / "probe.txt");
    EXPECT_EQ(reader.WaitFor(kHangLimit), 0) << ReadText(d.temp / "probe.txt");
    return ReadText(d.temp / "probe.txt");
  };
  const std::string tree = probe({"tree"});
  // role|name|states|actions, one object a line.
  const auto line_of = [&](const std::string& role_and_name) {
    const size_t at = tree.find("\n" + role_and_name + "|");
    return at == std::string::npos ? std::string()
                                   : tree.substr(at + 1, tree.find('\n', at + 1) - at - 1);
  };
  const std::pair<const char*, const char*> found[] = {
      {"push button|Add", "Press"},
      {"push button|Encode", "Press"},
      {"push button|Stop", ""},
      {"push button|Pause", ""},
      {"push button|Bye", "Press"},
      {"check box|Private", "Toggle"},
      {"check box|Job save", "checked"},
      {"push button|Bitrate: 128kbps", "ShowMenu"},
      {"push button|Output: Stereo", "ShowMenu"},
      {"table cell|a", ""},
      {"table cell|Queued", ""},
  };
  for (const auto& [role_and_name, detail] : found) {
    const std::string line = line_of(role_and_name);
    EXPECT_FALSE(line.empty()) << role_and_name << " not found in\n" << tree;
    EXPECT_NE(line.find(detail), std::string::npos) << line;
  }
  EXPECT_EQ(line_of("check box|Private").find("checked"), std::string::npos) << "Private is off";
  EXPECT_EQ(tree.find("filler|Encode"), std::string::npos);

  probe({"press", "Encode"});
  EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(d.temp / "a.mp3"); }, kHangLimit))
      << "the batch ran";
  d.CloseAndReadQueue();
}

}  // namespace
}  // namespace tolvane::testing
