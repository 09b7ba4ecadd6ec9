// The encoder's file: chosen with "Use encoder", found when given by name, its version read.
#include <cstdlib>

#include "main_window.h"
#include "settings/encoder_version.h"

namespace tolvane::app {

std::string TBlade::EncoderFile() const {
  const std::string& text = BladePath.Text();
  if (text.empty() || text.find('/') != std::string::npos)
    return text;
  // A bare name: the current folder, then the program's own folder, then PATH.
  if (files_.FileExists(text))
    return text;
  if (!program_folder_.empty()) {
    const std::string beside = paths_.WithTrailingSeparator(program_folder_) + text;
    if (files_.FileExists(beside))
      return beside;
  }
  const char* path = std::getenv("PATH");
  for (std::string_view rest = path == nullptr ? "" : path; !rest.empty();) {
    const size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
    if (folder.empty())
      continue;
    const std::string candidate = paths_.WithTrailingSeparator(folder) + text;
    if (files_.FileExists(candidate))
      return candidate;
  }
  return text;
}

void TBlade::ShowEncoderVersion() {
  const settings::EncoderVersion version = settings::ReadEncoderVersion(files_, EncoderFile());
  switch (version.outcome) {
    case settings::EncoderVersion::Outcome::Unreadable:
      BEVersion.SetCaption("");
      break;
    case settings::EncoderVersion::Outcome::NoMarker:
      break;
    case settings::EncoderVersion::Outcome::Found:
      BEVersion.SetCaption(version.label);
      break;
  }
}

void TBlade::PathButtonClick() {
  PathButton.SetDown(true);
  const std::optional<std::vector<std::string>> chosen =
      ChooseFiles("BladeEnc executable|bladeenc*", paths_.FolderOf(BladePath.Text()));
  if (chosen && !chosen->empty()) {
    // Stored at once, so the choice outlives a crash before the settings are saved.
    user_registry_.WriteString(kSettingsKey, "BladePath", chosen->front());
    user_registry_.Flush();
    BladePath.SetText(chosen->front());
  }
  PathButton.SetDown(false);
  ShowEncoderVersion();
}

}  // namespace tolvane::app
