#pragma once

#include <QString>
#include <string>

namespace tolvane::qt {

inline QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

// Message texts keep the classic "\r" line break; Qt breaks lines at "\n".
inline QString ToDisplayText(const std::string& text) {
  QString shown = ToQString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace tolvane::qt
