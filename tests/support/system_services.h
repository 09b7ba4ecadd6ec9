#pragma once

#include "platform/paths.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_volumes.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/xdg_data_files.h"
#include "support/audio_files.h"
#include "support/desktop_stand_ins.h"
#include "support/scripted_dialogs.h"

namespace tolvane::testing {

// The real system services a window test needs, with the registry in a fresh folder.
struct SystemServices {
  TempFolder config;
  posix::PosixFileSystem files;
  platform::Paths paths{platform::PathStyle::Posix};
  posix::PosixVolumes volumes;
  posix::RegistryFile registry{config / "HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER"};
  posix::RegistryFile classes{config / "HKEY_CLASSES_ROOT.reg", "HKEY_CLASSES_ROOT"};
  posix::XdgDataFiles desktop_files{config / "data"};
  ScriptedDialogs dialogs;
  ManualClock clock;
  posix::PosixProcesses processes;
  RecordingPower power;
  // No encoder is found by a bare name unless a test puts one there; home is the config folder.
  FixedEnvironment environment{config.Path(), "", config.Path()};
};

}  // namespace tolvane::testing
