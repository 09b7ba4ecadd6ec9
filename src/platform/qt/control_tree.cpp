#include "control_tree.h"

#include <stdexcept>

#include <QPointer>

#include "control_widgets.h"
#include "item_list_widgets.h"
#include "list_view_widget.h"
#include "text.h"

namespace tolvane::qt {

void ControlTree::BuildChildren(ui::Control& root, QWidget* into) {
  for (ui::Control* child : root.Children())
    Build(*child, into);
}

QWidget* ControlTree::WidgetFor(const ui::Control& control) const {
  const auto found = widgets_.find(&control);
  return found == widgets_.end() ? nullptr : found->second;
}

void ControlTree::Remember(ui::Control& control, QWidget* widget) {
  widgets_[&control] = widget;
  control.SetScreenLocator([widget = QPointer<QWidget>(widget)]() -> std::optional<ui::Rect> {
    if (widget.isNull())
      return std::nullopt;
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return ui::Rect{origin.x(), origin.y(), widget->width(), widget->height()};
  });
}

void ControlTree::Build(ui::Control& control, QWidget* parent) {
  if (auto* pages = dynamic_cast<ui::PageControl*>(&control)) {
    auto* tabs = new PageControlWidget(*pages, parent);
    for (ui::TabSheet* sheet : pages->Pages()) {
      auto* page = new QWidget();
      tabs->addTab(page, ToQString(sheet->Caption()));
      Remember(*sheet, page);
      BuildChildren(*sheet, page);
    }
    tabs->setCurrentIndex(pages->ActivePageIndex());
    Remember(*pages, tabs);
    return;
  }
  QWidget* widget = nullptr;
  if (auto* list = dynamic_cast<ui::ListView*>(&control)) {
    widget = new ListViewWidget(*list, parent);
  } else if (auto* bar = dynamic_cast<ui::StatusBar*>(&control)) {
    widget = new StatusBarWidget(*bar, parent);
  } else if (auto* button = dynamic_cast<ui::SpeedButton*>(&control)) {
    widget = new SpeedButtonWidget(*button, parent);
  } else if (auto* group = dynamic_cast<ui::GroupBox*>(&control)) {
    widget = new GroupBoxWidget(*group, parent);
  } else if (auto* panel = dynamic_cast<ui::Panel*>(&control)) {
    widget = new PanelWidget(*panel, parent);
  } else if (auto* label = dynamic_cast<ui::Label*>(&control)) {
    widget = new LabelWidget(*label, parent);
  } else if (auto* edit = dynamic_cast<ui::Edit*>(&control)) {
    widget = new EditWidget(*edit, parent);
  } else if (auto* progress = dynamic_cast<ui::ProgressBar*>(&control)) {
    widget = new ProgressBarWidget(*progress, parent);
  } else if (auto* box = dynamic_cast<ui::ComboBox*>(&control)) {
    widget = new ComboBoxWidget(*box, parent);
  } else if (auto* lines = dynamic_cast<ui::ListBox*>(&control)) {
    widget = new ListBoxWidget(*lines, parent);
  } else {
    // A control without a view would stand on the screen as an empty patch.
    throw std::logic_error("no view shows the control " + control.Name() + ": its type is unknown");
  }
  Remember(control, widget);
  BuildChildren(control, widget);
}

void UseDesignFont(QWidget& window) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(11);
  window.setFont(font);
}

}  // namespace tolvane::qt
