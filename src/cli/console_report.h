#pragma once

#include <ostream>
#include <string>

namespace tolvane::cli {

// What a batch run prints. On a terminal, finished files scroll by above one live bar that is
// redrawn in place; elsewhere (a log, a pipe) there are plain lines only, without any control
// characters. Quiet: failures only.
class ConsoleReport final {
 public:
  ConsoleReport(std::ostream& out, bool terminal, bool quiet)
      : out_(out), terminal_(terminal), quiet_(quiet) {}

  void Line(const std::string& text, bool failure);
  void Bar(const std::string& text);
  // Takes the bar away before the last lines.
  void EndBar();

 private:
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  std::string bar_;
};

}  // namespace tolvane::cli
