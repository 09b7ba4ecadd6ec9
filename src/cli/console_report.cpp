#include "console_report.h"

namespace tolvane::cli {

namespace {
constexpr const char* kClearLine = "\r\033[K";
}  // namespace

void ConsoleReport::Line(const std::string& text, bool failure) {
  if (quiet_ && !failure)
    return;
  if (terminal_ && !bar_.empty())
    out_ << kClearLine;
  out_ << text << '\n';
  if (terminal_ && !bar_.empty())
    out_ << bar_;
  out_.flush();
}

std::string FitBar(const std::vector<BarPart>& parts, int width) {
  std::vector<const BarPart*> shown;
  for (const BarPart& part : parts)
    shown.push_back(&part);
  const auto joined = [&shown] {
    std::string text;
    for (const BarPart* part : shown)
      text += (text.empty() ? "" : "  ") + part->text;
    return text;
  };
  std::string text = joined();
  while (width > 0 && static_cast<int>(text.size()) > width && shown.size() > 1) {
    // The last of the pieces least worth keeping goes.
    auto least = shown.begin();
    for (auto part = shown.begin(); part != shown.end(); ++part) {
      if ((*part)->keep <= (*least)->keep)
        least = part;
    }
    shown.erase(least);
    text = joined();
  }
  if (width > 0 && static_cast<int>(text.size()) > width)
    text.resize(static_cast<size_t>(width));
  return text;
}

void ConsoleReport::Bar(const std::vector<BarPart>& parts) {
  if (!terminal_ || quiet_)
    return;
  // One column short of the width: a line that fills the last column wraps on some terminals,
  // and the next redraw would start a line too low.
  const int columns = columns_ ? columns_() : 0;
  bar_ = FitBar(parts, columns > 1 ? columns - 1 : 0);
  out_ << kClearLine << bar_;
  out_.flush();
}

void ConsoleReport::EndBar() {
  if (terminal_ && !bar_.empty())
    out_ << kClearLine;
  bar_.clear();
  out_.flush();
}

}  // namespace tolvane::cli
