#pragma once

#include <QDialog>

#include "control_tree.h"
#include "platform/ui/form.h"

namespace tolvane::qt {

// One of the program's own dialogs, shown modally: a fixed-size window with a close box only,
// its client area the form's, standing where the form's bounds put it. Keys reach the form
// before its controls; the dialog ends when the form's result is set, and closing it is Cancel.
class FormDialog final : public QDialog {
 public:
  FormDialog(ui::Form& form, QWidget* owner);

  QWidget* WidgetFor(const ui::Control& control) const { return controls_.WidgetFor(control); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Sync();

  ui::Form& form_;
  ControlTree controls_;
  platform::Subscription subscription_;
};

}  // namespace tolvane::qt
