#include "item_list_widgets.h"

#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>

#include "control_widgets.h"
#include "text.h"

namespace tolvane::qt {

namespace {

constexpr int kIndentStep = 10;

// Draws each line moved in by its depth, so the folders stand as a staircase.
class IndentingDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem moved(option);
    moved.rect.adjust(index.data(Qt::UserRole).toInt() * kIndentStep, 0, 0, 0);
    QStyledItemDelegate::paint(painter, moved, index);
  }
};

}  // namespace

ComboBoxWidget::ComboBoxWidget(ui::ComboBox& box, QWidget* parent) : QComboBox(parent), box_(box) {
  subscription_ = box_.Changed.Connect([this] { Sync(); });
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (!syncing_)
      box_.Choose(index);
  });
  Sync();
}

void ComboBoxWidget::Sync() {
  const QScopedValueRollback guard(syncing_, true);
  SyncCommon(*this, box_);
  setMaxVisibleItems(box_.DropDownCount());
  QStringList items;
  for (const std::string& item : box_.Items())
    items.push_back(ToQString(item));
  QStringList shown;
  for (int i = 0; i < count(); ++i)
    shown.push_back(itemText(i));
  if (shown != items) {
    clear();
    addItems(items);
  }
  setCurrentIndex(box_.ItemIndex());
}

ListBoxWidget::ListBoxWidget(ui::ListBox& list, QWidget* parent)
    : QListWidget(parent), list_(list) {
  setUniformItemSizes(true);
  setItemDelegate(new IndentingDelegate(this));
  // A click opens a folder, which rebuilds the lines: the control hears of it once the click
  // is over, never from inside the list's own handling of it.
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const int line = row(item);
    QMetaObject::invokeMethod(
        this, [this, line] { list_.Click(line); }, Qt::QueuedConnection);
  });
  // The arrow keys move the current line; the control follows (a click arrives as a click).
  connect(this, &QListWidget::currentRowChanged, this, [this](int line) { list_.Highlight(line); });
  subscription_ = list_.Changed.Connect([this] { Sync(); });
  Sync();
}

void ListBoxWidget::Sync() {
  SyncCommon(*this, list_);
  if (shown_ != list_.Items()) {
    shown_ = list_.Items();
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const ui::ListBoxItem& line : shown_) {
      auto* item = new QListWidgetItem(line.open ? open : closed, ToQString(line.text), this);
      item->setData(Qt::UserRole, line.indent);
    }
  }
  if (currentRow() != list_.ItemIndex())
    setCurrentRow(list_.ItemIndex());
  if (QListWidgetItem* current = this->item(list_.ItemIndex()))
    scrollToItem(current);
}

}  // namespace tolvane::qt
