#pragma once

#include <string>

#include "platform/ui/menu.h"

namespace tolvane::options {

// The recent target folders are the captions of the recent menu's items, most recent first; an
// item shows once it has a caption.

// The folder at `position` moves to the front; the ones before it move down one place.
void MoveToFront(ui::PopupMenu& recent, int position);

// A folder just chosen goes to the front: moved there when it is in the list already (exact
// comparison), otherwise put there with the oldest one falling off the end.
void RememberFolder(ui::PopupMenu& recent, const std::string& folder);

}  // namespace tolvane::options
