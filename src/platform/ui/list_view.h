#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control.h"
#include "menu.h"
#include "platform/signal.h"
#include "rows.h"

namespace tolvane::ui {

struct ListColumn {
  std::string caption;
  int width = 0;
};

// What views must redraw: the rows' own notices (everything, one row, a row that came or went,
// the selection), or the rows scrolled.
struct ListChange {
  enum class Kind { Reset, Row, Inserted, Removed, Selection, Scrolled };
  Kind kind = Kind::Reset;
  int index = -1;
};

// A list in report style: a view of a row model (RowList) with several selectable rows, and the
// geometry the program's drag and scroll logic needs (rows of fixed height below a header). It
// keeps no rows of its own: it shows its model's, and what the user does to them (selecting,
// focusing) goes to the model, whose notice redraws every view.
class ListView final : public Control {
 public:
  static constexpr int kBorder = 2;
  static constexpr int kHeaderHeight = 19;
  static constexpr int kRowHeight = 17;

  // Shows a model of its own until Bind gives it another.
  ListView(std::string name, Control* parent);
  ~ListView() override;

  // Shows `rows` from now on; they must outlive the view.
  void Bind(ui::RowList& rows);
  ui::RowList& Rows() const { return *rows_; }

  void AddColumn(std::string caption, int width);
  const std::vector<ListColumn>& Columns() const { return columns_; }

  // The model's rows, as the view shows them.
  int Count() const { return rows_->Count(); }
  ListItem& Item(int index) const { return rows_->Item(index); }
  int SelCount() const { return rows_->SelCount(); }
  ListItem* Selected() const { return rows_->Selected(); }
  ListItem* NextSelected(const ListItem* after) const { return rows_->NextSelected(after); }
  ListItem* ItemFocused() const { return rows_->ItemFocused(); }

  // Scrolling, in whole rows: the index of the topmost visible row, and how many fit.
  int TopIndex() const { return top_index_; }
  ListItem* TopItem() const;
  int VisibleRowCount() const;
  // Scrolls by pixels; a vertical amount moves by whole rows, at least one row for any amount.
  void Scroll(int dx, int dy);
  void MakeVisible(int index);
  // The view reports a scroll the user made.
  void ReportTopIndex(int index);
  // The row at a point of the list's client area (inside its border), or null.
  ListItem* ItemAt(Point at) const;

  // The menu the right button opens at the pointer; null for none. The list does not own it.
  PopupMenu* ContextMenu() const { return context_menu_; }
  void SetContextMenu(PopupMenu* menu) { context_menu_ = menu; }
  // A context-menu request at `at` (client coordinates) and `screen`: a row there that is not
  // selected becomes the only selected one, OnContextPopup learns where, then the menu opens at
  // `screen`.
  void ContextPopup(Point at, Point screen);
  std::function<void(Point)> OnContextPopup;

  std::function<void(MouseButton, ShiftState, Point)> OnMouseDown;
  std::function<void(ShiftState, Point)> OnMouseMove;
  std::function<void(MouseButton, ShiftState, Point)> OnMouseUp;
  std::function<void(int key, ShiftState)> OnKeyDown;
  std::function<void(char key)> OnKeyPress;
  std::function<void()> OnDblClick;
  std::function<void(int column)> OnColumnClick;

  // The model's notices, and the view's own scrolling.
  platform::Signal<ListChange> RowsChanged;

 private:
  void FromModel(const ui::RowsChange& change);
  void SetTopIndex(int index);

  std::vector<ListColumn> columns_;
  ui::RowList own_rows_;
  ui::RowList* rows_ = &own_rows_;
  platform::Subscription model_;
  int top_index_ = 0;
  PopupMenu* context_menu_ = nullptr;
};

}  // namespace tolvane::ui
