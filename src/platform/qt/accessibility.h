#pragma once

namespace tolvane::qt {

// Lets screen readers (through AT-SPI) see the program's own buttons as what they are: push
// buttons, check boxes, toggle buttons and menu buttons, with their checked state and an action
// that presses them. Call once, after the application object exists.
void InstallAccessibility();

}  // namespace tolvane::qt
