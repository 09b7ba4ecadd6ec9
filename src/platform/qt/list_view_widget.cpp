#include "list_view_widget.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <vector>

#include "control_widgets.h"
#include "images.h"
#include "input_mapping.h"
#include "text.h"

namespace tolvane::qt {

namespace {

// The small image with the state image to its left, as report lists draw them: every row
// keeps the state image's place, so the captions line up.
QPixmap RowDecoration(int image, int state, bool cut) {
  QPixmap pixmap(34, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  if (cut)
    painter.setOpacity(0.45);
  if (state >= 0)
    painter.drawPixmap(0, 0, RowImage(state));
  if (image >= 0)
    painter.drawPixmap(18, 0, RowImage(image));
  return pixmap;
}

}  // namespace

ListViewModel::ListViewModel(ui::ListView& list) : list_(list), rows_(list.Count()) {}

int ListViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Columns().size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.Count())
    return {};
  const ui::ListItem& item = list_.Item(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(index.column() == 0 ? item.Caption() : item.SubItem(index.column() - 1));
    case Qt::DecorationRole:
      if (index.column() != 0)
        return {};
      return RowDecoration(item.ImageIndex(), item.StateIndex(), item.Cut());
    case Qt::ToolTipRole:
      if (item.Hint().empty())
        return {};
      return ToQString(item.Hint());
    case Qt::ForegroundRole:
      if (item.Cut())
        return QColor(Qt::gray);
      return {};
    default:
      return {};
  }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  if (section < 0 || section >= static_cast<int>(list_.Columns().size()))
    return {};
  return ToQString(list_.Columns()[section].caption);
}

void ListViewModel::RowInserted(int row) {
  beginInsertRows({}, row, row);
  ++rows_;
  endInsertRows();
}

void ListViewModel::RowRemoved(int row) {
  beginRemoveRows({}, row, row);
  --rows_;
  endRemoveRows();
}

void ListViewModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, columnCount({}) - 1));
}

void ListViewModel::Reset() {
  beginResetModel();
  rows_ = list_.Count();
  endResetModel();
}

ListViewWidget::ListViewWidget(ui::ListView& list, QWidget* parent)
    : QTableView(parent), list_(list), model_(list) {
  setModel(&model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setDragEnabled(false);
  setIconSize(QSize(34, 16));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(ui::ListView::kRowHeight);
  verticalHeader()->setMinimumSectionSize(ui::ListView::kRowHeight);
  horizontalHeader()->setFixedHeight(ui::ListView::kHeaderHeight);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int i = 0; i < static_cast<int>(list_.Columns().size()); ++i) {
    setColumnWidth(i, list_.Columns()[i].width);
  }
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (list_.OnColumnClick)
      list_.OnColumnClick(section);
  });
  // What the user selects, focuses or scrolls goes to the list; the list's notice comes back
  // here and finds the view already showing it, so nothing echoes.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { SelectionFromView(); });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (InStep() && current.isValid())
              list_.Item(current.row()).SetFocused(true);
          });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this](int value) { list_.ReportTopIndex(value); });
  rows_ =
      list_.RowsChanged.Connect([this](const ui::ListChange& change) { OnRowsChanged(change); });
  changed_ = list_.Changed.Connect([this] { SyncCommon(*this, list_); });
  SyncCommon(*this, list_);
  SyncAllSelections();
}

bool ListViewWidget::InStep() const {
  return model_.rowCount({}) == list_.Count();
}

void ListViewWidget::OnRowsChanged(const ui::ListChange& change) {
  switch (change.kind) {
    case ui::ListChange::Kind::Inserted:
      model_.RowInserted(change.index);
      SyncSelection(change.index);
      break;
    case ui::ListChange::Kind::Removed:
      model_.RowRemoved(change.index);
      break;
    case ui::ListChange::Kind::Row:
      model_.RowChanged(change.index);
      SyncSelection(change.index);
      break;
    case ui::ListChange::Kind::Selection:
      if (change.index >= 0)
        SyncSelection(change.index);
      else
        SyncAllSelections();
      break;
    case ui::ListChange::Kind::Reset:
      model_.Reset();
      SyncAllSelections();
      break;
    case ui::ListChange::Kind::Scrolled:
      SyncScroll();
      break;
  }
}

void ListViewWidget::SyncSelection(int row) {
  if (row < 0 || row >= list_.Count() || row >= model_.rowCount({}))
    return;
  const ui::ListItem& item = list_.Item(row);
  const QModelIndex index = model_.index(row, 0);
  const bool shown = selectionModel()->isRowSelected(row, {});
  if (shown != item.Selected()) {
    selectionModel()->select(
        index, (item.Selected() ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                   QItemSelectionModel::Rows);
  }
  if (item.Focused() && selectionModel()->currentIndex().row() != row) {
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  }
}

void ListViewWidget::SyncAllSelections() {
  QItemSelection selection;
  for (ui::ListItem* item = list_.Selected(); item != nullptr; item = list_.NextSelected(item)) {
    selection.select(model_.index(item->Index(), 0),
                     model_.index(item->Index(), model_.columnCount({}) - 1));
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (ui::ListItem* focused = list_.ItemFocused()) {
    selectionModel()->setCurrentIndex(model_.index(focused->Index(), 0),
                                      QItemSelectionModel::NoUpdate);
  }
  SyncScroll();
}

void ListViewWidget::SyncScroll() {
  verticalScrollBar()->setValue(list_.TopIndex());
}

void ListViewWidget::SelectionFromView() {
  // While rows come and go the selection model renumbers its own rows (a removed row
  // "deselected" by its old number); the list's selection has already moved with its rows.
  if (!InStep())
    return;
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows())
    rows.push_back(index.row());
  list_.Rows().SetSelection(rows);
}

ui::Point ListViewWidget::ToListPoint(const QPoint& viewport_point) const {
  return {viewport_point.x(), viewport_point.y() + ui::ListView::kHeaderHeight};
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
  // The right button opens the context menu and leaves the selection alone.
  if (event->button() != Qt::RightButton)
    QTableView::mousePressEvent(event);
  if (list_.OnMouseDown) {
    list_.OnMouseDown(ToMouseButton(event->button()),
                      ToShiftState(event->modifiers(), event->buttons()),
                      ToListPoint(event->position().toPoint()));
  }
}

void ListViewWidget::contextMenuEvent(QContextMenuEvent* event) {
  const QPoint screen = event->globalPos();
  list_.ContextPopup(ToListPoint(viewport()->mapFromGlobal(screen)), {screen.x(), screen.y()});
  event->accept();
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event) {
  // Rows move by the program's own drag logic, not by extending the selection.
  if (list_.OnMouseMove) {
    list_.OnMouseMove(ToShiftState(event->modifiers(), event->buttons()),
                      ToListPoint(event->position().toPoint()));
  }
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (list_.OnMouseUp) {
    list_.OnMouseUp(ToMouseButton(event->button()),
                    ToShiftState(event->modifiers(), event->buttons()),
                    ToListPoint(event->position().toPoint()));
  }
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton && list_.OnDblClick)
    list_.OnDblClick();
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
  const ui::ShiftState shift = ToShiftState(event->modifiers(), Qt::NoButton);
  if (const int key = ToVirtualKey(event->key()); key != 0 && list_.OnKeyDown) {
    list_.OnKeyDown(key, shift);
  }
  const QString text = event->text();
  if (list_.OnKeyPress) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      list_.OnKeyPress(static_cast<char>(ui::keys::kReturn));
    } else if (event->key() == Qt::Key_Escape) {
      list_.OnKeyPress(static_cast<char>(ui::keys::kEscape));
    } else if (text.size() == 1 && text[0].unicode() < 128 && text[0].isPrint()) {
      list_.OnKeyPress(static_cast<char>(text[0].unicode()));
    }
  }
  QTableView::keyPressEvent(event);
}

}  // namespace tolvane::qt
