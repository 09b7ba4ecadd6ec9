#include "process.h"

namespace tolvane::platform {

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text) {
  std::vector<std::string> arguments;
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  if (i >= text.size())
    return arguments;

  // The program is read like every argument, so that any path QuoteArgument wrote, quotes in it
  // included, comes back as it was.
  bool quoted = false;
  while (true) {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
    if (i >= text.size())
      break;
    std::string argument;
    quoted = false;
    while (i < text.size() && (quoted || !IsBlank(text[i]))) {
      if (text[i] == '\\') {
        size_t backslashes = 0;
        while (i < text.size() && text[i] == '\\')
          ++backslashes, ++i;
        if (i < text.size() && text[i] == '"') {
          // 2n backslashes and a quote: n backslashes, and the quote groups; 2n + 1: n and a
          // literal quote.
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (text[i] == '"') {
        if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          argument += '"';  // "" inside quotes is one literal quote
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += text[i++];
      }
    }
    arguments.push_back(argument);
  }
  return arguments;
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  // Backslashes before the closing quote must not escape it.
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

}  // namespace tolvane::platform
