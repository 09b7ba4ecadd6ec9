#include "platform_services.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include "form_dialog.h"
#include "text.h"

namespace tolvane::qt {

namespace {

QMessageBox::Icon ToQtIcon(ui::MessageIcon icon) {
  switch (icon) {
    case ui::MessageIcon::Error:
      return QMessageBox::Critical;
    case ui::MessageIcon::Warning:
      return QMessageBox::Warning;
    case ui::MessageIcon::Question:
      return QMessageBox::Question;
    case ui::MessageIcon::Information:
      return QMessageBox::Information;
    case ui::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(ui::MessageButtons buttons) {
  switch (buttons) {
    case ui::MessageButtons::Ok:
      return QMessageBox::Ok;
    case ui::MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case ui::MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case ui::MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// "Description|*.wav;*.aif" becomes "Description (*.wav *.aif)".
QString ToQtFilter(const std::string& filter) {
  const QString text = ToQString(filter);
  const auto bar = text.indexOf(QLatin1Char('|'));
  if (bar < 0)
    return text;
  QString patterns = text.mid(bar + 1);
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  return text.left(bar) + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

}  // namespace

void QtEventLoop::ProcessMessages() {
  QCoreApplication::processEvents();
}

void QtEventLoop::WaitForMessages(unsigned max_ms) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(max_ms), &loop, &QEventLoop::quit);
  loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtEventLoop::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

platform::Subscription QtEventLoop::WatchReadable(int fd, std::function<void()> on_ready) {
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated,
                   [on_ready = std::move(on_ready)] { on_ready(); });
  // The callback may end its own watch: the notifier goes quiet at once and is deleted once
  // the loop is back outside it.
  return platform::Subscription([notifier] {
    notifier->setEnabled(false);
    notifier->deleteLater();
  });
}

ui::Rect QtWorkArea::Get() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return {0, 0, 1024, 768};
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

void QtDialogs::CloseAll() {
  closing_ = true;
  // Nested boxes close from the innermost out; each one's exec() returns once the loop is back.
  for (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr;) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
    QWidget* next = QApplication::activeModalWidget();
    modal = next == modal ? nullptr : next;
  }
}

ui::MessageAnswer QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                        ui::MessageIcon icon, ui::MessageButtons buttons) {
  if (closing_)
    return buttons == ui::MessageButtons::Ok ? ui::MessageAnswer::Ok : ui::MessageAnswer::No;
  QMessageBox box(ToQtIcon(icon), ToQString(caption), ToDisplayText(text), ToQtButtons(buttons),
                  QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Yes:
      return ui::MessageAnswer::Yes;
    case QMessageBox::No:
      return ui::MessageAnswer::No;
    case QMessageBox::Cancel:
      return ui::MessageAnswer::Cancel;
    default:
      return buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No : ui::MessageAnswer::Ok;
  }
}

std::optional<std::vector<std::string>> QtDialogs::OpenFiles(const ui::OpenFileRequest& request) {
  if (closing_)
    return std::nullopt;
  QFileDialog dialog(QApplication::activeWindow(), ToQString(request.title),
                     ToQString(request.initial_folder), ToQtFilter(request.filter));
  dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  std::vector<std::string> files;
  for (const QString& file : dialog.selectedFiles())
    files.push_back(file.toStdString());
  return files;
}

ui::ModalResult QtDialogs::ShowModal(ui::Form& form) {
  form.SetModalResult(closing_ ? ui::ModalResult::Cancel : ui::ModalResult::None);
  if (closing_)
    return ui::ModalResult::Cancel;
  FormDialog dialog(form, QApplication::activeWindow());
  dialog.exec();
  if (form.GetModalResult() == ui::ModalResult::None)
    form.SetModalResult(ui::ModalResult::Cancel);
  return form.GetModalResult();
}

}  // namespace tolvane::qt
