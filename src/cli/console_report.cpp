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

void ConsoleReport::Bar(const std::string& text) {
  if (!terminal_ || quiet_)
    return;
  bar_ = text;
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
