#pragma once
// An item model over the table of a data source: one row per entry in table
// order, one column per named field. Rows are read from the table in blocks
// on demand, so a table of a million entries costs a few blocks of memory.
// The vertical header marks the current entry.

#include <QAbstractTableModel>
#include <QStringList>
#include <map>
#include <vector>

#include "data/Table.h"
#include "widgets/FieldLink.h"

namespace lugatim::widgets {

class TTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  struct Column {
    QString fieldName;
    QString title;
  };
  explicit TTableModel(std::vector<Column> columns, QObject* parent = nullptr);

  void SetDataSource(data::TDataSource* source) { link_.SetDataSource(source); }
  data::TDataSource* DataSource() const { return link_.DataSource(); }
  // The open table behind the source, else nullptr.
  data::TTable* Table() const { return link_.ActiveTable(); }
  // Row of the current entry, -1 when there is none.
  int CurrentRow() const;
  // The whole text of a field (shown or not) of the entry in row; empty
  // outside the table.
  QString FieldAt(int row, const QString& fieldName) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  // The table's current entry changed; located tells a Locate from navigation.
  void CurrentMoved(int row, bool located);

 private:
  void OnDataEvent(data::TDataEvent event);
  void Reload(data::TTable* table);
  const data::TEntry* EntryAt(int row) const;

  std::vector<Column> columns_;
  std::vector<int> fieldIndex_;  // field index in the table's entries, per column
  TFieldDataLink link_;
  const data::TTable* loaded_ = nullptr;  // the table the rows were loaded from
  int rows_ = 0;
  int currentRow_ = -1;
  static constexpr int kBlock = 32;
  static constexpr size_t kMaxBlocks = 256;
  mutable std::map<int, std::vector<data::TEntry>> blocks_;
};

}  // namespace lugatim::widgets
