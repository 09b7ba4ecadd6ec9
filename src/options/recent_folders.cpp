#include "recent_folders.h"

namespace tolvane::options {

void MoveToFront(ui::PopupMenu& recent, int position) {
  if (position < 0 || position >= recent.Count())
    return;
  const std::string folder = recent.Item(position).Caption();
  for (int i = position; i >= 1; --i)
    recent.Item(i).SetCaption(recent.Item(i - 1).Caption());
  recent.Item(0).SetCaption(folder);
}

void RememberFolder(ui::PopupMenu& recent, const std::string& folder) {
  if (recent.Count() == 0)
    return;
  for (int i = 0; i < recent.Count(); ++i) {
    if (recent.Item(i).Caption() == folder) {
      MoveToFront(recent, i);
      return;
    }
  }
  for (int i = recent.Count() - 1; i >= 1; --i)
    recent.Item(i).SetCaption(recent.Item(i - 1).Caption());
  recent.Item(0).SetCaption(folder);
  for (int i = 0; i < recent.Count(); ++i) {
    if (!recent.Item(i).Caption().empty())
      recent.Item(i).SetVisible(true);
  }
}

}  // namespace tolvane::options
