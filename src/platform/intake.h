#pragma once

#include <string>

namespace tolvane::platform {

// What the intake does with what another program sends it. One connection is one conversation;
// each command in it is answered before the next is read.
class IntakeHandler {
 public:
  virtual ~IntakeHandler() = default;
  // True when the command was taken; a command of another form is refused.
  [[nodiscard]] virtual bool Execute(const std::string& command) = 0;
  // A conversation ended (the peer closed it, or it was dropped).
  virtual void ConversationEnded() = 0;
};

}  // namespace tolvane::platform
