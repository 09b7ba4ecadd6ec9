#include "desktop_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <utility>

namespace tolvane::testing {

namespace {

using namespace std::chrono_literals;

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr const char* kOpenbox = "/usr/bin/openbox";
constexpr const char* kXauth = "/usr/bin/xauth";
constexpr const char* kXprop = "/usr/bin/xprop";
constexpr const char* kXdotool = "/usr/bin/xdotool";
constexpr const char* kXwininfo = "/usr/bin/xwininfo";
constexpr const char* kHelper = TOLVANE_BUILD_DIR "/tests/desktop_helper";

std::string RandomCookie() {
  unsigned char bytes[16] = {};
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    [[maybe_unused]] const ssize_t got = ::read(fd, bytes, sizeof bytes);
    ::close(fd);
  }
  std::string hex;
  char digits[3];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

int IntAfter(const std::string& text, const std::string& key) {
  const size_t at = text.find(key);
  return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size());
}

}  // namespace

DesktopSession::DesktopSession() {
  // The server learns the cookie from a placeholder entry; clients find it under the display
  // number the server picks itself (-displayfd), so parallel tests never collide.
  const std::string auth = temp_ / "Xauthority";
  const std::string cookie = RandomCookie();
  int code = 0;
  Run(kXauth, {"-f", auth, "add", ":0", ".", cookie}, &code);
  if (code != 0) {
    failure_ = "xauth failed";
    return;
  }
  const std::string log = temp_ / "xvfb.log";
  server_ = std::make_unique<ChildProcess>(
      kXvfb,
      std::vector<std::string>{"-displayfd", "1", "-auth", auth, "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"},
      std::map<std::string, std::string>{}, log);
  std::string display;
  Eventually(
      [&] {
        std::istringstream lines(ReadText(log));
        for (std::string line; std::getline(lines, line);) {
          if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            display = ":" + line;
        }
        return !display.empty();
      },
      kHangLimit);
  if (display.empty()) {
    failure_ = "Xvfb did not start: " + ReadText(log);
    return;
  }
  Run(kXauth, {"-f", auth, "add", display, ".", cookie}, &code);
  // Qt programs draw on this display, whatever platform the test itself runs with.
  environment_ = {{"DISPLAY", display}, {"XAUTHORITY", auth}, {"QT_QPA_PLATFORM", "xcb"}};

  // A window manager that gives up at once (the display not ready for it yet) is started again.
  bool managed = false;
  for (int attempt = 0; attempt < 3 && !managed; ++attempt) {
    window_manager_ = std::make_unique<ChildProcess>(
        kOpenbox, std::vector<std::string>{"--sm-disable"},
        EnvironmentWith({{"HOME", temp_.Path()}}), temp_ / "openbox.log");
    managed = Eventually(
                  [&] {
                    const std::string root = Run(kXprop, {"-root", "_NET_SUPPORTING_WM_CHECK"});
                    return root.find("window id") != std::string::npos ||
                           window_manager_->WaitFor(0ms).has_value();
                  },
                  kHangLimit) &&
              !window_manager_->WaitFor(0ms).has_value();
  }
  if (!managed)
    failure_ = "openbox did not start: " + ReadText(temp_ / "openbox.log");
}

DesktopSession::~DesktopSession() {
  // The window manager first, then the server; each is killed and reaped by its owner.
  window_manager_.reset();
  server_.reset();
}

std::map<std::string, std::string> DesktopSession::EnvironmentWith(
    const std::map<std::string, std::string>& more) const {
  std::map<std::string, std::string> all = environment_;
  for (const auto& [name, value] : more)
    all[name] = value;
  return all;
}

std::string DesktopSession::Run(const std::string& program,
                                const std::vector<std::string>& arguments, int* exit_code) const {
  const std::string output = temp_ / "run.out";
  ChildProcess child(program, arguments, environment_, output);
  const std::optional<int> code = child.WaitFor(kHangLimit);
  if (exit_code != nullptr)
    *exit_code = code.value_or(-1);
  return ReadText(output);
}

void DesktopSession::Xdotool(const std::vector<std::string>& arguments) const {
  Run(kXdotool, arguments);
}

std::optional<std::string> DesktopSession::FindWindow(const std::string& title,
                                                      std::chrono::milliseconds limit) const {
  std::string found;
  Eventually(
      [&] {
        std::istringstream ids(Run(kXdotool, {"search", "--onlyvisible", "--name", title}));
        return static_cast<bool>(std::getline(ids, found)) && !found.empty();
      },
      limit);
  if (found.empty())
    return std::nullopt;
  return found;
}

DesktopSession::Box DesktopSession::ClientArea(const std::string& window) const {
  // xwininfo's absolute corner (xdotool counts a reparented window's offset twice).
  const std::string text = Run(kXwininfo, {"-id", window});
  return {IntAfter(text, "Absolute upper-left X:"), IntAfter(text, "Absolute upper-left Y:"),
          IntAfter(text, "Width:"), IntAfter(text, "Height:")};
}

std::string DesktopSession::Property(const std::string& window, const std::string& name) const {
  return Run(kXprop, {"-id", window, name});
}

DesktopSession::Extents DesktopSession::FrameExtents(const std::string& window) const {
  const std::string text = Run(kXprop, {"-id", window, "_NET_FRAME_EXTENTS"});
  static const std::regex numbers(R"(=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))");
  std::smatch match;
  if (!std::regex_search(text, match, numbers))
    return {};
  return {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3]), std::stoi(match[4])};
}

void DesktopSession::Screenshot(const std::string& name) const {
  const std::string folder = TOLVANE_BUILD_DIR "/screenshots/desktop";
  std::filesystem::create_directories(folder);
  Run(kHelper, {"screenshot", folder + "/" + name});
}

std::string DesktopSession::ScreenDigest() const {
  return Run(kHelper, {"digest"});
}

bool DesktopSession::WaitForChange(const std::string& before,
                                   std::chrono::milliseconds limit) const {
  return Eventually([&] { return ScreenDigest() != before; }, limit) && WaitUntilStill(limit);
}

bool DesktopSession::WaitUntilStill(std::chrono::milliseconds limit) const {
  std::string last = ScreenDigest();
  return Eventually(
      [&] {
        std::string now = ScreenDigest();
        return std::exchange(last, std::move(now)) == last;
      },
      limit);
}

int DesktopSession::VisibleWindows() const {
  const std::string ids = Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", ".*"});
  return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
}

}  // namespace tolvane::testing
