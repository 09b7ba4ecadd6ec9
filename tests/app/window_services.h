#pragma once

#include <string>

#include "app/main_window.h"
#include "support/system_services.h"

namespace tolvane::app {

// What a test may give the window instead of the system's own services.
struct WindowOverrides {
  platform::Volumes* volumes = nullptr;
  platform::RegistryStore* registry = nullptr;
  ui::Dialogs* dialogs = nullptr;
  std::string job_list;  // the config folder's tolvane.dat when empty
};

// The window's services for a test: the real system services of `system` (scripted dialogs, the
// manual clock), this application and work area, and what `overrides` replaces.
inline Services WindowServices(testing::SystemServices& system, ui::Application& application,
                               const ui::WorkArea& work_area,
                               const WindowOverrides& overrides = {}) {
  return {application,
          overrides.dialogs != nullptr ? *overrides.dialogs : system.dialogs,
          work_area,
          system.files,
          system.paths,
          overrides.volumes != nullptr ? *overrides.volumes : system.volumes,
          overrides.registry != nullptr ? *overrides.registry : system.registry,
          system.clock,
          system.processes,
          system.power,
          system.environment,
          "",
          system.classes,
          system.desktop_files,
          "/usr/bin/tolvane",
          overrides.job_list.empty() ? system.config / "tolvane.dat" : overrides.job_list};
}

}  // namespace tolvane::app
