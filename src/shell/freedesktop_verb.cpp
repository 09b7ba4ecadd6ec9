#include "freedesktop_verb.h"

namespace tolvane::shell {

namespace {

// "Open With" offers the program for audio only: listing folders there would make it the
// default program for folders where nothing else claims them. The KDE service menu adds "Blade
// it" to folders too (the GNOME Files script is offered for everything). FLAC, Ogg Vorbis and
// Opus are offered whatever the encoder: these files outlive a change of encoder, and with an
// outside one the window names each such file with the reason it refuses it.
constexpr const char* kAudioTypes =
    "audio/x-wav;audio/x-aiff;audio/flac;audio/ogg;audio/x-vorbis+ogg;audio/x-opus+ogg;";
constexpr const char* kFolderType = "inode/directory;";

// The executable as a desktop entry's Exec key holds it: quoted, with `"`, "`", "$" and "\"
// escaped by a backslash; then, as the key is a string, every backslash doubled again (a
// backslash in the path is four); a "%" is written "%%".
std::string ExecQuoted(const std::string& executable) {
  std::string quoted = "\"";
  for (const char c : executable) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (const char c : quoted) {
    if (c == '\\')
      value += '\\';
    if (c == '%')
      value += '%';
    value += c;
  }
  return value;
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
           kAudioTypes +
           "\n"
           "NoDisplay=true\n"
           "Terminal=false\n",
       false},
      {"kio/servicemenus/tolvane-blade-it.desktop",
       "[Desktop Entry]\n"
       "Type=Service\n"
       "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
       "MimeType=" +
           std::string(kAudioTypes) + kFolderType +
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

platform::Result InstallBladeIt(platform::DesktopFiles& files, const std::string& executable) {
  platform::Result all = platform::Result::Done();
  for (const DesktopFile& file : BladeItFiles(executable)) {
    platform::Result written = files.Write(file.path, file.content, file.executable);
    if (all && !written)
      all = std::move(written);
  }
  return all;
}

platform::Result RemoveBladeIt(platform::DesktopFiles& files) {
  platform::Result all = platform::Result::Done();
  for (const DesktopFile& file : BladeItFiles({})) {
    platform::Result removed = files.Remove(file.path);
    if (all && !removed)
      all = std::move(removed);
  }
  return all;
}

}  // namespace tolvane::shell
