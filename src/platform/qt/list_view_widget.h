#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "platform/ui/list_view.h"

namespace tolvane::qt {

// Shows the rows of a ListView. It keeps its own row count so that Qt hears of each insertion
// and removal in its order.
class ListViewModel final : public QAbstractTableModel {
 public:
  explicit ListViewModel(ui::ListView& list);

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void RowInserted(int row);
  void RowRemoved(int row);
  void RowChanged(int row);
  void Reset();

 private:
  ui::ListView& list_;
  int rows_;
};

class ListViewWidget final : public QTableView {
 public:
  ListViewWidget(ui::ListView& list, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnRowsChanged(const ui::ListChange& change);
  void SyncSelection(int row);
  void SyncAllSelections();
  void SyncScroll();
  // The view's selection, as a whole, becomes the list's.
  void SelectionFromView();
  // Whether the view has as many rows as the list: not so while a row comes or goes.
  bool InStep() const;
  // A point of the viewport in the list's client coordinates, which count the header.
  ui::Point ToListPoint(const QPoint& viewport_point) const;

  ui::ListView& list_;
  ListViewModel model_;
  platform::Subscription rows_;
  platform::Subscription changed_;
};

}  // namespace tolvane::qt
