#include "intake.h"

namespace tolvane::shell {

bool Intake::Execute(const std::string& command) {
  if (command == kRestoreCommand) {
    followers_.restore_window();
    return true;
  }
  const std::optional<std::string> path = PathOfCommand(command);
  if (!path)
    return false;
  // A later copy sends an empty path for a name its search did not find: nothing to add.
  if (!path->empty())
    followers_.add_path(*path);
  return true;
}

void Intake::ConversationEnded() {
  followers_.update_totals();
}

std::string PathCommand(const std::string& path) {
  return "[\"" + path + "\"]";
}

std::optional<std::string> PathOfCommand(const std::string& command) {
  const bool framed = command.size() >= 4 && command.starts_with("[\"") &&
                      command.ends_with("\"]") &&
                      command.find_first_of("\r\n") == std::string::npos;
  if (!framed)
    return std::nullopt;
  return command.substr(2, command.size() - 4);
}

std::string ServiceName(const std::string& executable_path) {
  const size_t slash = executable_path.rfind('/');
  const std::string name =
      slash == std::string::npos ? executable_path : executable_path.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

}  // namespace tolvane::shell
