#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::platform {

// Exit codes as the program reads them.
inline constexpr int kStillActive = 259;
inline constexpr int kExitFailure = -1;     // the child ended with 255, or was killed by others
inline constexpr int kExitTerminated = -2;  // the code the program passes when it stops a child

// A child process started by the program.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  // kStillActive while it runs, else its exit code (see above); nullopt when it cannot be asked.
  [[nodiscard]] virtual std::optional<int> ExitCode() = 0;
  // Ends the child and everything it started; ExitCode() then reads `exit_code`.
  [[nodiscard]] virtual bool Terminate(int exit_code) = 0;
  [[nodiscard]] virtual bool Suspend() = 0;
  [[nodiscard]] virtual bool Resume() = 0;
  // A descriptor that turns readable once the child has ended, for an event loop to watch, so
  // that its end is handled at once; -1 when the system offers none (ExitCode() then has to be
  // polled). It stays the child's: valid while the child object lives.
  virtual int EndNotifier() const = 0;
  // The last line the child wrote to its standard error (its own word for why it failed), or ""
  // when it wrote none or its standard error was not kept.
  virtual std::string LastErrorLine() const { return {}; }
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a command line in the classic one-string form: the program and its arguments split
  // by the Windows rules (blanks separate, double quotes group, backslashes escape quotes).
  // Standard input and output go nowhere unless `show_console`; standard error is kept for
  // LastErrorLine. Null when it cannot start.
  [[nodiscard]] virtual std::unique_ptr<ChildProcess> Start(const std::string& command_line,
                                                            bool show_console) = 0;
};

// Splits a command line by the Windows rules for arguments: blanks separate, double quotes
// group, backslashes escape quotes. The program, first, is read by the same rules.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

// An argument in double quotes that SplitCommandLine gives back unchanged: for an ordinary path
// that is the path in quotes; quotes inside and backslashes before them are escaped.
std::string QuoteArgument(const std::string& argument);

// Asks the system to power off.
class SystemPower {
 public:
  virtual ~SystemPower() = default;
  virtual void PowerOff() = 0;
};

}  // namespace tolvane::platform
