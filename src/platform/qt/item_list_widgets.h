#pragma once

#include <QComboBox>
#include <QListWidget>

#include "platform/ui/item_lists.h"

namespace tolvane::qt {

class ComboBoxWidget final : public QComboBox {
 public:
  ComboBoxWidget(ui::ComboBox& box, QWidget* parent);

 private:
  void Sync();
  ui::ComboBox& box_;
  platform::Subscription subscription_;
  bool syncing_ = false;
};

// Lines indented by their depth, each with an open or closed folder when the control says so.
class ListBoxWidget final : public QListWidget {
 public:
  ListBoxWidget(ui::ListBox& list, QWidget* parent);

 private:
  void Sync();
  ui::ListBox& list_;
  platform::Subscription subscription_;
  std::vector<ui::ListBoxItem> shown_;
};

}  // namespace tolvane::qt
