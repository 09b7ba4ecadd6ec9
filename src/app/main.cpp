// Program entry: the Qt application, then the program itself.
#include <unistd.h>

#include <QApplication>
#include <climits>
#include <cstdio>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/xdg_folders.h"
#include "platform/qt/accessibility.h"
#include "platform/qt/images.h"
#include "program.h"
#include "settings/job_list.h"
#include "settings/settings_store.h"
#include "startup.h"
#include "window_system.h"

namespace {

std::string ExecutablePath(const char* argv0) {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string(argv0);
}

}  // namespace

int main(int argc, char** argv) {
  const tolvane::posix::ProcessEnvironment environment;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Asked from a terminal, also one without a display: answered before any window system.
  {
    tolvane::posix::PosixFileSystem files;
    const tolvane::platform::Paths paths(tolvane::platform::PathStyle::Posix);
    const auto folders = tolvane::posix::XdgFolders::FromEnvironment();
    const std::string executable = ExecutablePath(argv[0]);
    const tolvane::app::KeptFiles kept{tolvane::settings::UserRegistryPath(folders.config),
                                       tolvane::settings::JobListPath(folders.state, executable)};
    if (const auto text = tolvane::app::InformationAsked(arguments, environment.CurrentFolder(),
                                                         files, paths, kept)) {
      std::fputs(text->c_str(), stdout);
      return 0;
    }
  }
  const std::string platform = tolvane::app::PreferredPlatform(
      {environment.Variable("QT_QPA_PLATFORM"), environment.Variable("WAYLAND_DISPLAY"),
       environment.Variable("DISPLAY")});
  if (!platform.empty())
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
  QApplication qt_application(argc, argv);
  QApplication::setWindowIcon(tolvane::qt::ApplicationIcon());
  tolvane::qt::InstallAccessibility();
  // The installed desktop entry is org.orvik.Tolvane.desktop: desktops group the window with it
  // (on Wayland it is the window's application id).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.orvik.Tolvane"));
  tolvane::app::Program program(ExecutablePath(argv[0]), arguments);
  return program.Run();
}
