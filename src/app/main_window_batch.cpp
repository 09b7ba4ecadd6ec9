// Batch control: Encode, Stop, Pause, Bye and the close question.
#include "main_window.h"

namespace tolvane::app {

void TBlade::EncodeClick() {
  // The encoding engine comes next; until then there is nothing to start.
}

}  // namespace tolvane::app
