#include "form_dialog.h"

#include <QApplication>
#include <QKeyEvent>

#include "input_mapping.h"
#include "text.h"

namespace tolvane::qt {

FormDialog::FormDialog(ui::Form& form, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      form_(form) {
  UseDesignFont(*this);
  controls_.BuildChildren(form_, this);
  // Closing the window, Esc included, is the Cancel answer.
  connect(this, &QDialog::rejected, this,
          [this] { form_.SetModalResult(ui::ModalResult::Cancel); });
  subscription_ = form_.Changed.Connect([this] { Sync(); });
  qApp->installEventFilter(this);
  Sync();
}

void FormDialog::Sync() {
  setWindowTitle(ToQString(form_.Caption()));
  setFixedSize(form_.ClientWidth(), form_.ClientHeight());
  // Placed before it shows, so that the window manager puts its frame's corner there; and
  // moved while it shows when the form moves (the tag dialog follows the selected row).
  if (pos() != QPoint(form_.Left(), form_.Top()))
    move(form_.Left(), form_.Top());
  if (form_.GetModalResult() == ui::ModalResult::Ok) {
    accept();
  } else if (form_.GetModalResult() == ui::ModalResult::Cancel) {
    reject();
  }
}

void FormDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (ui::Control* active = form_.ActiveControl()) {
    if (QWidget* widget = WidgetFor(*active))
      widget->setFocus();
  }
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress)
    return false;
  // A key the focused control leaves travels up to its parents: the form sees it once.
  auto* widget = qobject_cast<QWidget*>(watched);
  const QWidget* focus = QApplication::focusWidget();
  const QWidget* first = focus != nullptr && focus->window() == this ? focus : this;
  if (widget == nullptr || widget != first || widget->window() != this)
    return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (const int code = ToVirtualKey(key->key()); code != 0) {
    if (!form_.KeyDown(code, ToShiftState(key->modifiers(), QApplication::mouseButtons())))
      return true;
  }
  char typed = 0;
  if (key->key() == Qt::Key_Escape) {
    typed = 27;
  } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    typed = 13;
  } else if (key->text().size() == 1 && key->text().at(0).unicode() < 0x80) {
    typed = static_cast<char>(key->text().at(0).unicode());
  }
  if (typed == 0)
    return false;
  // Enter means nothing to the dialog itself: it never presses a default button.
  const bool passed_on = form_.KeyPress(typed);
  return !passed_on || typed == 13;
}

}  // namespace tolvane::qt
