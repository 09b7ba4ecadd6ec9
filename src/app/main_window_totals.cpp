// The queue's totals and the free space of a volume.
#include "main_window.h"

namespace tolvane::app {

void TBlade::UpdateTotals() {
  engine_.UpdateTotals();
}

encoding::FreeSpace TBlade::DriveFreeSpace(const std::string& path) {
  return encoding::DriveFreeSpace(volumes_, path);
}

}  // namespace tolvane::app
