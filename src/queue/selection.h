#pragma once

#include <vector>

#include "file_data.h"

namespace tolvane::queue {

// The entries the user has picked, in the queue's order: what the option menus, the tag dialog
// and the summary act on. A window's list keeps it; the model knows nothing of it.
class Selection {
 public:
  virtual ~Selection() = default;
  [[nodiscard]] virtual std::vector<TFileData*> SelectedEntries() const = 0;
  // Makes `entry` the one selected and focused entry.
  virtual void SelectOnly(const TFileData& entry) = 0;
};

}  // namespace tolvane::queue
