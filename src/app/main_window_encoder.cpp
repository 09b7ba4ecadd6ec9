// The encoder's file: chosen with "Use encoder", found when given by name, its version read.
#include "encoding/job_text.h"
#include "main_window.h"
#include "settings/encoder_path.h"
#include "settings/encoder_version.h"
#include "settings/settings_store.h"
#include "sources/sound_probe.h"

namespace tolvane::app {

std::string TBlade::EncoderFile() const {
  return settings::FindEncoder(BladePath.Text(), program_folder_, files_, environment_, paths_);
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

void TBlade::FollowEncoder() {
  queue_.SetKinds(sources::WindowSourceKinds(
      encoding::VersionAtLeast(BEVersion.Caption(), encoding::kBundledEncoderVersion)));
}

void TBlade::PathButtonClick() {
  PathButton.SetDown(true);
  const std::optional<std::vector<std::string>> chosen =
      ChooseFiles("BladeEnc executable|bladeenc*", paths_.FolderOf(BladePath.Text()));
  if (chosen && !chosen->empty()) {
    // Stored at once, so the choice outlives a crash before the settings are saved.
    if (!settings::SaveEncoderPath(user_registry_, settings::kSettingsKey, chosen->front()))
      engine_binding_.Log("cannot store the encoder's path " + chosen->front());
    BladePath.SetText(chosen->front());
  }
  PathButton.SetDown(false);
  ShowEncoderVersion();
}

}  // namespace tolvane::app
