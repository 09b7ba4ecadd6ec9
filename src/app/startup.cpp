#include "startup.h"

#include "platform/version.h"
#include "settings/migration.h"
#include "settings/settings_store.h"
#include "shell/intake.h"

namespace tolvane::app {

namespace {
constexpr std::string_view kContinueArgument = "-continue";
}  // namespace

std::optional<std::string> InformationAsked(const std::vector<std::string>& arguments,
                                            const std::string& current_folder,
                                            platform::FileSystem& files,
                                            const platform::Paths& paths, const KeptFiles& kept) {
  for (const std::string& argument : arguments) {
    const bool help = argument == "--help" || argument == "-h";
    if ((!help && argument != "--version") ||
        files.Exists(paths.Absolute(argument, current_folder))) {
      continue;
    }
    if (!help)
      return "tolvane " TOLVANE_RELEASE "\n";
    return "Usage: tolvane [-continue] [FILE|FOLDER]...\n"
           "Queues WAVE and AIFF files in the Tolvane window to encode them to MP3, and with the\n"
           "bundled encoder FLAC, Ogg Vorbis and Opus files too; folders are scanned with their\n"
           "subfolders. When Tolvane runs already, the names go to its window.\n"
           "\n"
           "  -continue     start only when a saved queue exists, else end at once; the window\n"
           "                restores it with \"Job save\" on and encodes it with \"Autostart on\n"
           "                enqueue\" on\n"
           "  -h, --help    print this help and exit\n"
           "  --version     print the version and exit\n"
           "\n"
           "Settings: " +
           kept.settings + "\nSaved queue: " + kept.saved_queue +
           "\n"
           "To encode without a window: tolvane-batch --help\n";
  }
  return std::nullopt;
}

StartupPlan PlanStartup(const std::vector<std::string>& arguments, const std::string& job_list_path,
                        const std::string& current_folder, platform::FileSystem& files,
                        const platform::Paths& paths) {
  StartupPlan plan;
  plan.had_arguments = !arguments.empty();
  for (const std::string& argument : arguments) {
    if (argument == kContinueArgument) {
      if (!files.FileExists(job_list_path)) {
        plan.end_now = true;
        plan.names.clear();
        return plan;
      }
      continue;
    }
    plan.names.push_back(ExpandName(argument, current_folder, files, paths));
  }
  return plan;
}

std::string ExpandName(const std::string& argument, const std::string& current_folder,
                       platform::FileSystem& files, const platform::Paths& paths) {
  // A relative name means the folder the program was started in, which the queue, the job
  // list and the running copy know nothing of.
  const std::string name = paths.Absolute(argument, current_folder);
  // A name ending in a separator, or a root, has no last component to look up.
  const std::optional<std::string> stored =
      paths.NamePart(name).empty() ? std::nullopt : files.StoredName(name);
  return stored ? paths.FolderPart(name) + *stored : name;
}

std::vector<std::string> HandOffCommands(const std::vector<std::string>& arguments,
                                         const std::string& current_folder,
                                         platform::FileSystem& files,
                                         const platform::Paths& paths) {
  std::vector<std::string> commands{std::string(shell::Intake::kRestoreCommand)};
  for (const std::string& argument : arguments) {
    // The running copy has its queue already: "-continue" asks nothing of it.
    if (argument == kContinueArgument)
      continue;
    commands.push_back(shell::PathCommand(ExpandName(argument, current_folder, files, paths)));
  }
  return commands;
}

void MigrateEarlierSettings(platform::RegistryStore& user, platform::RegistryStore& classes,
                            ui::Dialogs& dialogs) {
  const settings::Migration migration = settings::MigrateSettings(user, classes);
  if (!migration.moved)
    return;
  if (!migration.written) {
    dialogs.MessageBox(std::string(settings::kSetDataFailed) + "\r" + migration.written.Why(),
                       settings::kMigratedCaption, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  dialogs.MessageBox(settings::kMigratedText, settings::kMigratedCaption, ui::MessageIcon::None,
                     ui::MessageButtons::Ok);
}

}  // namespace tolvane::app
