#include "form_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTimer>

#include "text.h"

namespace tolvane::qt {

// The window has a fixed size: it asks for a title, a menu, minimise and close, and no maximise
// (the Motif hints window managers read say so, with the function left out too).
FormView::FormView(ui::Form& form, ui::Application& application, std::function<std::string()> title)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      form_(form),
      application_(application),
      title_(std::move(title)) {
  // Files and folders dragged from a file manager are taken anywhere on the window.
  setAcceptDrops(true);
  // The progress may replace the title while the program is in the background: that is the
  // whole program, not this window (its own message box must not count as the background).
  const auto follow_state = [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) {
      application_.ReportActivated();
    } else {
      application_.ReportDeactivated();
    }
  };
  QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, follow_state);
  if (QGuiApplication::applicationState() == Qt::ApplicationActive)
    QTimer::singleShot(0, this, [follow_state] { follow_state(Qt::ApplicationActive); });
  UseDesignFont(*this);
  controls_.BuildChildren(form_, this);
  subscriptions_.push_back(form_.Changed.Connect([this] { Sync(); }));
  subscriptions_.push_back(application_.Changed.Connect([this] { SyncTitle(); }));
  subscriptions_.push_back(form_.BringToFrontRequested.Connect([this] {
    if (isMinimized())
      showNormal();
    raise();
    activateWindow();
  }));
  subscriptions_.push_back(form_.CloseRequested.Connect([this] {
    const QScopedValueRollback guard(closing_, true);
    close();
  }));
  subscriptions_.push_back(application_.MinimizeRequested.Connect([this] { showMinimized(); }));
  subscriptions_.push_back(application_.RestoreRequested.Connect([this] { showNormal(); }));
  subscriptions_.push_back(application_.RepaintRequested.Connect([this] { repaint(); }));
  Sync();
  if (ui::Control* active = form_.ActiveControl()) {
    if (QWidget* widget = WidgetFor(*active))
      widget->setFocus();
  }
}

QWidget* FormView::WidgetFor(const ui::Control& control) const {
  return controls_.WidgetFor(control);
}

void FormView::Sync() {
  setFixedSize(form_.ClientWidth(), form_.ClientHeight());
  if (!moving_ && frameGeometry().topLeft() != QPoint(form_.Left(), form_.Top())) {
    move(form_.Left(), form_.Top());
  }
  SyncTitle();
}

void FormView::SyncTitle() {
  setWindowTitle(ToQString(title_()));
}

void FormView::ReadFrame() {
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  form_.SetFrame({inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom()});
}

void FormView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ReadFrame();
}

void FormView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ReadFrame();
}

void FormView::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The window manager frames the window after it is shown, and may change the frame later (a
  // new theme): every move it reports tells the frame as it is now.
  ReadFrame();
  if (moving_)
    return;
  const QScopedValueRollback guard(moving_, true);
  const QRect outer = frameGeometry();
  const ui::Rect proposed{outer.x(), outer.y(), outer.width(), outer.height()};
  const ui::Rect placed = form_.ProposePosition(proposed);
  form_.SetBounds({placed.left, placed.top, form_.Width(), form_.Height()});
  if (placed.left != proposed.left || placed.top != proposed.top)
    move(placed.left, placed.top);
}

void FormView::closeEvent(QCloseEvent* event) {
  if (closing_ || form_.Closed()) {
    event->accept();
    return;
  }
  // The user closed the window: the form decides, and hides the window itself when it closes.
  const QScopedValueRollback guard(closing_, true);
  if (form_.Close()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void FormView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && form_.OnDropFiles)
    event->acceptProposedAction();
}

void FormView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls() && form_.OnDropFiles)
    event->acceptProposedAction();
}

void FormView::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    paths.push_back((url.isLocalFile() ? url.toLocalFile() : url.toString()).toStdString());
  }
  event->acceptProposedAction();
  if (form_.OnDropFiles)
    form_.OnDropFiles(paths);
}

void FormView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    if (isMinimized() && !application_.Minimized()) {
      application_.ReportMinimized();
    } else if (!isMinimized() && application_.Minimized()) {
      application_.ReportRestored();
    }
  }
}

WindowView::WindowView(const WindowParts& parts)
    : form_(parts.form, parts.application, parts.title) {
  for (ui::PopupMenu* menu : parts.menus)
    menus_.push_back(std::make_unique<MenuView>(*menu));
  for (platform::Timer* timer : parts.timers)
    timers_.push_back(std::make_unique<TimerDriver>(*timer));
}

}  // namespace tolvane::qt
