#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tolvane::cli {

// One piece of the live bar. When the terminal is too narrow for all, the pieces with the lowest
// `keep` go first; the others stay in their order.
struct BarPart {
  std::string text;
  int keep = 0;
};

// The bar's pieces joined by two blanks, as many as fit in `width` columns (the first piece cut if
// even it alone does not fit); all of them when `width` is 0 (unknown).
std::string FitBar(const std::vector<BarPart>& parts, int width);

// What a batch run prints. On a terminal, finished files scroll by above one live bar that is
// redrawn in place, never wider than the terminal, so that it stays on one line whatever the
// width; elsewhere (a log, a pipe, a dumb terminal) there are plain lines only, without any
// control characters. Quiet: failures only.
class ConsoleReport final {
 public:
  // `columns` tells the terminal's width now (0 when unknown); it is asked at every redraw, so a
  // resized terminal gets a bar of its new width.
  ConsoleReport(std::ostream& out, bool terminal, bool quiet, std::function<int()> columns = {})
      : out_(out), terminal_(terminal), quiet_(quiet), columns_(std::move(columns)) {}

  void Line(const std::string& text, bool failure);
  void Bar(const std::vector<BarPart>& parts);
  // Takes the bar away before the last lines.
  void EndBar();

 private:
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  std::function<int()> columns_;
  std::string bar_;
};

}  // namespace tolvane::cli
