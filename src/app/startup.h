#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/dialogs.h"

namespace tolvane::app {

// What the command line asks for.
struct StartupPlan {
  // "-continue" was given and there is no job list to continue: end at once, showing nothing.
  bool end_now = false;
  // At least one argument was given, even if only "-continue".
  bool had_arguments = false;
  // The names to enqueue, in command-line order.
  std::vector<std::string> names;
};

// Where the program keeps what it keeps, as the usage names it.
struct KeptFiles {
  std::string settings;
  std::string saved_queue;
};

// What "--help", "-h" or "--version" asks for: the text to print before ending, touching no
// running copy. nullopt when none is given, or when a file of that name is in the current folder
// (then it is a name like any other).
std::optional<std::string> InformationAsked(const std::vector<std::string>& arguments,
                                            const std::string& current_folder,
                                            platform::FileSystem& files,
                                            const platform::Paths& paths, const KeptFiles& kept);

// Reads the arguments (without the program name). "-continue" (exactly so) tests that the job
// list file exists; every other argument is a name, made absolute against `current_folder`. A
// name that exists is handed on with its folder part as given and its last component as the
// file system spells it; one that does not exist is handed on as it is.
StartupPlan PlanStartup(const std::vector<std::string>& arguments, const std::string& job_list_path,
                        const std::string& current_folder, platform::FileSystem& files,
                        const platform::Paths& paths);

// A name from the command line as the program takes it: made absolute against `current_folder`,
// its last component spelled as the file system stores it when it exists.
std::string ExpandName(const std::string& argument, const std::string& current_folder,
                       platform::FileSystem& files, const platform::Paths& paths);

// What a later copy sends the running one: the restore request, then every argument but
// "-continue" (the running copy has its queue already) as a path command, in order.
std::vector<std::string> HandOffCommands(const std::vector<std::string>& arguments,
                                         const std::string& current_folder,
                                         platform::FileSystem& files, const platform::Paths& paths);

// Moves the earlier product's settings, and says so when it did.
void MigrateEarlierSettings(platform::RegistryStore& user, platform::RegistryStore& classes,
                            ui::Dialogs& dialogs);

}  // namespace tolvane::app
