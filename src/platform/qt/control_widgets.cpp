#include "control_widgets.h"

#include <qdrawutil.h>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "images.h"
#include "input_mapping.h"
#include "platform/ui/menu.h"
#include "text.h"

namespace tolvane::qt {

void SyncCommon(QWidget& widget, const ui::Control& control) {
  const ui::Rect r = control.Bounds();
  if (widget.geometry() != QRect(r.left, r.top, r.width, r.height)) {
    widget.setGeometry(r.left, r.top, r.width, r.height);
  }
  widget.setVisible(control.Visible());
  widget.setEnabled(control.Enabled());
  if (!control.AccessibleLabel().empty())
    widget.setAccessibleName(ToQString(control.AccessibleLabel()));
}

PanelWidget::PanelWidget(ui::Panel& panel, QWidget* parent) : QWidget(parent), panel_(panel) {
  subscription_ = panel_.Changed.Connect([this] { Sync(); });
  Sync();
}

void PanelWidget::Sync() {
  SyncCommon(*this, panel_);
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  if (panel_.Background().empty())
    return;
  QPainter painter(this);
  painter.drawTiledPixmap(rect(), Image(panel_.Background()));
}

void PanelWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    panel_.DblClick();
}

GroupBoxWidget::GroupBoxWidget(ui::GroupBox& group, QWidget* parent)
    : QGroupBox(ToQString(group.Caption()), parent), group_(group) {
  subscription_ = group_.Changed.Connect([this] { SyncCommon(*this, group_); });
  SyncCommon(*this, group_);
}

LabelWidget::LabelWidget(ui::Label& label, QWidget* parent) : QLabel(parent), label_(label) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  subscription_ = label_.Changed.Connect([this] { Sync(); });
  Sync();
}

void LabelWidget::Sync() {
  SyncCommon(*this, label_);
  setText(ToQString(label_.Caption()));
  // A label is as wide as its text, and clicks go through it: it never covers the button
  // beside or beneath it.
  if (!wordWrap()) {
    const int text_width = fontMetrics().horizontalAdvance(text()) + 2;
    if (text_width < width())
      resize(text_width, height());
  }
}

EditWidget::EditWidget(ui::Edit& edit, QWidget* parent) : QLineEdit(parent), edit_(edit) {
  subscription_ = edit_.Changed.Connect([this] { Sync(); });
  connect(this, &QLineEdit::textEdited, this,
          [this](const QString& text) { edit_.SetText(text.toStdString()); });
  Sync();
}

void EditWidget::Sync() {
  SyncCommon(*this, edit_);
  setReadOnly(edit_.ReadOnly());
  setMaxLength(edit_.MaxLength() > 0 ? edit_.MaxLength() : 32767);
  const QString text = ToQString(edit_.Text());
  if (this->text() != text)
    setText(text);
}

ProgressBarWidget::ProgressBarWidget(ui::ProgressBar& bar, QWidget* parent)
    : QProgressBar(parent), bar_(bar) {
  setRange(0, 100);
  setTextVisible(false);
  subscription_ = bar_.Changed.Connect([this] { Sync(); });
  Sync();
}

void ProgressBarWidget::Sync() {
  SyncCommon(*this, bar_);
  setValue(bar_.Position());
}

PageControlWidget::PageControlWidget(ui::PageControl& pages, QWidget* parent)
    : QTabWidget(parent), pages_(pages) {
  subscription_ = pages_.Changed.Connect([this] { Sync(); });
  connect(this, &QTabWidget::currentChanged, this, [this](int index) {
    if (!syncing_)
      pages_.SelectTab(index);
  });
  Sync();
}

void PageControlWidget::Sync() {
  const QScopedValueRollback guard(syncing_, true);
  SyncCommon(*this, pages_);
  const int index = pages_.ActivePageIndex();
  if (index >= 0 && index < count() && currentIndex() != index)
    setCurrentIndex(index);
}

StatusBarWidget::StatusBarWidget(ui::StatusBar& bar, QWidget* parent) : QWidget(parent), bar_(bar) {
  subscription_ = bar_.Changed.Connect([this] {
    SyncCommon(*this, bar_);
    update();
  });
  SyncCommon(*this, bar_);
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Panels sit side by side with a 2-pixel gap; the last one reaches the bar's right end.
  constexpr int kGap = 2;
  int left = 0;
  for (int i = 0; i < bar_.PanelCount(); ++i) {
    const ui::StatusPanel& panel = bar_.Panel(i);
    const bool last = i == bar_.PanelCount() - 1;
    const int width = last ? std::max(panel.Width(), this->width() - left) : panel.Width();
    const QRect box(left, 0, width - (last ? 0 : kGap), height());
    if (panel.GetBevel() != ui::Bevel::None) {
      qDrawShadePanel(&painter, box, palette(), panel.GetBevel() == ui::Bevel::Lowered, 1);
    }
    if (panel.Style() == ui::PanelStyle::Text) {
      int flags = Qt::AlignVCenter;
      switch (panel.GetAlignment()) {
        case ui::Alignment::Left:
          flags |= Qt::AlignLeft;
          break;
        case ui::Alignment::Center:
          flags |= Qt::AlignHCenter;
          break;
        case ui::Alignment::Right:
          flags |= Qt::AlignRight;
          break;
      }
      const QRect text_box = box.adjusted(3, 1, -3, -1);
      const QString text =
          fontMetrics().elidedText(ToQString(panel.Text()), Qt::ElideRight, text_box.width());
      painter.drawText(text_box, flags, text);
    }
    left += panel.Width();
  }
}

SpeedButtonWidget::SpeedButtonWidget(ui::SpeedButton& button, QWidget* parent)
    : QWidget(parent), button_(button) {
  // Reachable by Tab, and pressed with Space or Enter, like any button.
  setFocusPolicy(Qt::StrongFocus);
  changed_ = button_.Changed.Connect([this] { Sync(); });
  drop_down_ = button_.DropDownRequested.Connect([this] {
    if (ui::PopupMenu* menu = button_.DropdownMenu()) {
      const QPoint below = mapToGlobal(QPoint(0, height()));
      menu->Popup({below.x(), below.y()});
    }
  });
  Sync();
}

void SpeedButtonWidget::Sync() {
  SyncCommon(*this, button_);
  setAccessibleName(ToQString(button_.AccessibleName()));
  update();
}

QString SpeedButtonWidget::ShownCaption(int width) const {
  const QString caption = ToQString(button_.Caption());
  const QString kept = caption.left(static_cast<qsizetype>(button_.ElidedFrom()));
  const QString rest = caption.mid(kept.size());
  return kept + fontMetrics().elidedText(rest, Qt::ElideMiddle,
                                         width - fontMetrics().horizontalAdvance(kept));
}

void SpeedButtonWidget::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      button_.UserClick();
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SpeedButtonWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void SpeedButtonWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void SpeedButtonWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool sunken = button_.Down() || pressed_;
  const bool small_toggle = width() <= 16 && height() <= 16;
  if (small_toggle) {
    // The square toggles act as check boxes: a sunken box with a mark while down.
    qDrawShadePanel(&painter, rect(), palette(), true, 2, &palette().brush(QPalette::Base));
    if (button_.Down()) {
      painter.setPen(QPen(palette().color(QPalette::Text), 2));
      painter.drawLine(3, 7, 6, 10);
      painter.drawLine(6, 10, 11, 4);
    }
    if (hasFocus()) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    return;
  }
  if (!button_.Flat() || hovered_ || sunken) {
    qDrawShadePanel(&painter, rect(), palette(), sunken, 1);
  }
  QRect content = rect().adjusted(2, 1, -2, -1);
  if (sunken)
    content.translate(1, 1);
  if (button_.DropdownMenu() != nullptr && width() > 24) {
    // A small arrow on the right marks a drop-down button.
    const int x = content.right() - 6;
    const int y = content.center().y() - 1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawPolygon(QPolygon({QPoint(x - 3, y - 1), QPoint(x + 3, y - 1), QPoint(x, y + 2)}));
    content.setRight(content.right() - 10);
  } else if (button_.DropdownMenu() != nullptr && button_.Caption().empty()) {
    const QPoint c = content.center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::ButtonText));
    painter.drawPolygon(QPolygon(
        {QPoint(c.x() - 3, c.y() - 1), QPoint(c.x() + 3, c.y() - 1), QPoint(c.x(), c.y() + 2)}));
  }
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  const QString caption = ShownCaption(content.width());
  if (!button_.Glyph().empty()) {
    QPixmap glyph = Image(button_.Glyph());
    if (!isEnabled())
      glyph = DisabledImage(button_.Glyph());
    const int text_width = fontMetrics().horizontalAdvance(caption);
    const int total = glyph.width() + 4 + text_width;
    const int x = content.left() + (content.width() - total) / 2;
    painter.drawPixmap(x, content.top() + (content.height() - glyph.height()) / 2, glyph);
    painter.drawText(QRect(x + glyph.width() + 4, content.top(), text_width, content.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, caption);
  } else {
    painter.drawText(content, Qt::AlignCenter, caption);
  }
}

void SpeedButtonWidget::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  update();
  button_.MouseDown(ToMouseButton(event->button()),
                    ToShiftState(event->modifiers(), event->buttons()),
                    ToPoint(event->position().toPoint()));
}

void SpeedButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool was_pressed = pressed_;
  pressed_ = false;
  update();
  button_.MouseUp(ToMouseButton(event->button()),
                  ToShiftState(event->modifiers(), event->buttons()),
                  ToPoint(event->position().toPoint()));
  if (was_pressed && event->button() == Qt::LeftButton &&
      rect().contains(event->position().toPoint())) {
    button_.UserClick();
  }
}

void SpeedButtonWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  // A second click in quick succession is a click of its own, never the panel's double-click.
  mousePressEvent(event);
}

void SpeedButtonWidget::enterEvent(QEnterEvent*) {
  hovered_ = true;
  update();
}

void SpeedButtonWidget::leaveEvent(QEvent*) {
  hovered_ = false;
  update();
}

}  // namespace tolvane::qt
