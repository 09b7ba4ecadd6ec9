#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QWidget>

#include "platform/ui/page_control.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/speed_button.h"
#include "platform/ui/status_bar.h"

// Qt widgets that show one control each. A widget keeps itself in step with its control's
// Changed signal and turns the user's input into the control's events; it holds no logic.
namespace tolvane::qt {

// Applies the properties every control has: place, size, visibility, enablement.
void SyncCommon(QWidget& widget, const ui::Control& control);

class PanelWidget final : public QWidget {
 public:
  PanelWidget(ui::Panel& panel, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Sync();
  ui::Panel& panel_;
  platform::Subscription subscription_;
};

class GroupBoxWidget final : public QGroupBox {
 public:
  GroupBoxWidget(ui::GroupBox& group, QWidget* parent);

 private:
  ui::GroupBox& group_;
  platform::Subscription subscription_;
};

class LabelWidget final : public QLabel {
 public:
  LabelWidget(ui::Label& label, QWidget* parent);

 private:
  void Sync();
  ui::Label& label_;
  platform::Subscription subscription_;
};

class EditWidget final : public QLineEdit {
 public:
  EditWidget(ui::Edit& edit, QWidget* parent);

 private:
  void Sync();
  ui::Edit& edit_;
  platform::Subscription subscription_;
};

class ProgressBarWidget final : public QProgressBar {
 public:
  ProgressBarWidget(ui::ProgressBar& bar, QWidget* parent);

 private:
  void Sync();
  ui::ProgressBar& bar_;
  platform::Subscription subscription_;
};

// Pages are added by the builder as the tab widget's pages.
class PageControlWidget final : public QTabWidget {
 public:
  PageControlWidget(ui::PageControl& pages, QWidget* parent);

 private:
  void Sync();
  ui::PageControl& pages_;
  platform::Subscription subscription_;
  bool syncing_ = false;
};

class StatusBarWidget final : public QWidget {
 public:
  StatusBarWidget(ui::StatusBar& bar, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ui::StatusBar& bar_;
  platform::Subscription subscription_;
};

class SpeedButtonWidget final : public QWidget {
 public:
  SpeedButtonWidget(ui::SpeedButton& button, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 public:
  // The caption as drawn: cut in the middle when the button is too narrow for it (a long mount
  // point keeps its start and its end).
  QString ShownCaption(int width) const;
  ui::SpeedButton& Button() const { return button_; }

 private:
  void Sync();
  ui::SpeedButton& button_;
  platform::Subscription changed_;
  platform::Subscription drop_down_;
  bool pressed_ = false;
  bool hovered_ = false;
};

}  // namespace tolvane::qt
