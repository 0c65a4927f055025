#pragma once
// Data-aware grid: a title row, an indicator column marking the current
// entry, and one column per field. Clicks, arrow and page keys and the scroll
// bar move the table's current entry; every other view follows. Tab and
// Shift+Tab walk the cells, wrap to the next or previous entry and never
// leave the grid. Columns can be resized and moved; no cell can be edited.

#include <QTableView>

#include "widgets/TableModel.h"

namespace lugatim::widgets {

class TDBGrid : public QTableView {
  Q_OBJECT
 public:
  TDBGrid(std::vector<TTableModel::Column> columns, QWidget* parent = nullptr);
  void SetDataSource(data::TDataSource* source) { model_.SetDataSource(source); }
  data::TDataSource* DataSource() const { return model_.DataSource(); }
  TTableModel& Model() { return model_; }
  // The rows the grid shows at once.
  int VisibleRows() const;
  // Row shown at the top.
  int TopRow() const;
  // The field whose whole text a row's tooltip shows (the meaning).
  void SetToolTipField(const QString& fieldName) { toolTipField_ = fieldName; }

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  bool focusNextPrevChild(bool next) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void FollowTable(int row, bool located);
  TTableModel model_;
  bool following_ = false;
  QString toolTipField_;
};

// Keeps the current entry among the rows a view shows after the user moved
// its scroll bar, by moving the table.
void MoveTableWithScrollBar(QAbstractItemView* view, TTableModel* model);

}  // namespace lugatim::widgets
