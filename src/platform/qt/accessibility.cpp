#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "control_widgets.h"

namespace tolvane::qt {

namespace {

// A button as a screen reader sees it. Pressing it through its action is a user's click: the
// same group rules, the same events, the same menu.
class SpeedButtonAccessible final : public QAccessibleWidget {
 public:
  explicit SpeedButtonAccessible(SpeedButtonWidget* widget)
      : QAccessibleWidget(widget, RoleOf(widget->Button().Role())), widget_(widget) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    const ui::SpeedButton& button = widget_->Button();
    switch (button.Role()) {
      case ui::ButtonRole::CheckBox:
      case ui::ButtonRole::Toggle:
        state.checkable = true;
        state.checked = button.Down();
        break;
      case ui::ButtonRole::Menu:
        state.hasPopup = true;
        break;
      case ui::ButtonRole::Push:
        state.pressed = button.Down();
        break;
    }
    return state;
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget_->isEnabled()) {
      names << pressAction();
      if (widget_->Button().Role() == ui::ButtonRole::Menu)
        names << showMenuAction();
      else if (widget_->Button().Role() != ui::ButtonRole::Push)
        names << toggleAction();
    }
    return names + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& name) override {
    if (!widget_->isEnabled())
      return;
    if (name == pressAction() || name == toggleAction() || name == showMenuAction()) {
      widget_->Button().UserClick();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  static QAccessible::Role RoleOf(ui::ButtonRole role) {
    switch (role) {
      case ui::ButtonRole::CheckBox:
        return QAccessible::CheckBox;
      case ui::ButtonRole::Toggle:
        return QAccessible::Button;  // a push button with a checked state: a toggle button
      case ui::ButtonRole::Menu:
        return QAccessible::ButtonMenu;
      case ui::ButtonRole::Push:
        break;
    }
    return QAccessible::Button;
  }

  SpeedButtonWidget* widget_;
};

QAccessibleInterface* Interface(const QString&, QObject* object) {
  if (auto* button = dynamic_cast<SpeedButtonWidget*>(object))
    return new SpeedButtonAccessible(button);
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  QAccessible::installFactory(Interface);
}

}  // namespace tolvane::qt
