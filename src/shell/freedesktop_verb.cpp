#include "freedesktop_verb.h"

namespace tolvane::shell {

namespace {

constexpr const char* kMimeTypes = "audio/x-wav;audio/x-aiff;inode/directory;";

// The executable as a desktop entry's Exec key quotes it: in double quotes, with `"`, "`", "$"
// and "\" escaped by a backslash, and every backslash of that doubled again for the key's own
// string escapes; a "%" is written "%%".
std::string ExecQuoted(const std::string& executable) {
  std::string quoted = "\"";
  for (const char c : executable) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += "\\\\";
    if (c == '%')
      quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

// The executable as one word of a POSIX shell: in single quotes, a quote in it closed, escaped
// and opened again.
std::string ShellQuoted(const std::string& executable) {
  std::string quoted = "'";
  for (const char c : executable)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::vector<DesktopFile> BladeItFiles(const std::string& executable) {
  const std::string exec = ExecQuoted(executable) + " %F";
  return {
      {"applications/tolvane-blade-it.desktop",
       "[Desktop Entry]\n"
       "Type=Application\n"
       "Name=Blade it\n"
       "GenericName=MP3 encoder\n"
       "Comment=Encode to MP3 with Tolvane\n"
       "Icon=tolvane\n"
       "Exec=" +
           exec +
           "\n"
           "MimeType=" +
           kMimeTypes +
           "\n"
           "NoDisplay=true\n"
           "Terminal=false\n",
       false},
      {"kio/servicemenus/tolvane-blade-it.desktop",
       "[Desktop Entry]\n"
       "Type=Service\n"
       "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
       "MimeType=" +
           std::string(kMimeTypes) +
           "\n"
           "Actions=bladeIt;\n"
           "\n"
           "[Desktop Action bladeIt]\n"
           "Name=Blade it\n"
           "Icon=tolvane\n"
           "Exec=" +
           exec + "\n",
       // KDE runs a service menu only when it may be executed.
       true},
      {"nautilus/scripts/Blade it",
       "#!/bin/sh\n"
       "# Tolvane: encodes the selected files and folders. GNOME Files runs this in the folder\n"
       "# shown, with the selected names as arguments.\n"
       "exec " +
           ShellQuoted(executable) + " \"$@\"\n",
       true},
  };
}

bool InstallBladeIt(platform::DesktopFiles& files, const std::string& executable) {
  bool all = true;
  for (const DesktopFile& file : BladeItFiles(executable))
    all = files.Write(file.path, file.content, file.executable) && all;
  return all;
}

void RemoveBladeIt(platform::DesktopFiles& files) {
  for (const DesktopFile& file : BladeItFiles({}))
    files.Remove(file.path);
}

}  // namespace tolvane::shell
