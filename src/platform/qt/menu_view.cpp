#include "menu_view.h"

#include <QActionGroup>
#include <QMenu>

#include "text.h"

namespace tolvane::qt {

MenuView::MenuView(ui::PopupMenu& menu) : menu_(menu) {
  popup_ = menu_.PopupRequested.Connect([this](ui::Point at) { Show(at); });
}

void MenuView::Show(ui::Point at) {
  QMenu qmenu;
  std::map<int, QActionGroup*> radio_groups;
  std::map<QAction*, int> item_of_action;
  for (int i = 0; i < menu_.Count(); ++i) {
    const ui::MenuItem& item = menu_.Item(i);
    if (!item.Visible())
      continue;
    if (item.IsSeparator()) {
      qmenu.addSeparator();
      continue;
    }
    QAction* action = qmenu.addAction(ToQString(item.Caption()));
    action->setEnabled(item.Enabled());
    action->setCheckable(item.Checked() || item.RadioItem());
    action->setChecked(item.Checked());
    if (item.RadioItem()) {
      auto& group = radio_groups[item.GroupIndex()];
      if (group == nullptr)
        group = new QActionGroup(&qmenu);
      group->addAction(action);
    }
    item_of_action[action] = i;
  }
  QAction* chosen = qmenu.exec(QPoint(at.x, at.y));
  // The menu may have been rebuilt while it was open; click the item by its index then.
  if (chosen == nullptr)
    return;
  const int index = item_of_action.at(chosen);
  if (index < menu_.Count())
    menu_.Item(index).Click();
}

}  // namespace tolvane::qt
