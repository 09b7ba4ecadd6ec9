#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/intake.h"

namespace tolvane::shell {

// The commands the running copy takes from others (a later start, a file manager's "Blade it"):
// one path each, written ["path"], handed to the queue; and the request to restore the window.
class Intake final : public platform::IntakeHandler {
 public:
  static constexpr std::string_view kRestoreCommand = "restore";

  struct Followers {
    // A path as the command gave it; a relative one is made absolute by the receiver.
    std::function<void(const std::string& path)> add_path;
    std::function<void()> update_totals;
    std::function<void()> restore_window;
  };
  explicit Intake(Followers followers) : followers_(std::move(followers)) {}

  // bladefilesExecuteMacro: the path between [" and "], on one line; any other form is refused.
  bool Execute(const std::string& command) override;
  // bladefilesClose.
  void ConversationEnded() override;

 private:
  Followers followers_;
};

// The command that carries `path`.
std::string PathCommand(const std::string& path);
// The path a command carries: between [" and "], on one line; nullopt for any other form.
std::optional<std::string> PathOfCommand(const std::string& command);

// The service a copy serves: its executable's file name up to the first ".".
std::string ServiceName(const std::string& executable_path);

}  // namespace tolvane::shell
