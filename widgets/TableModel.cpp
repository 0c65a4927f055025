#include "widgets/TableModel.h"

namespace lugatim::widgets {

using data::TDataEvent;

TTableModel::TTableModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      link_([this](TDataEvent event) { OnDataEvent(event); }) {}

int TTableModel::CurrentRow() const {
  return currentRow_;
}

void TTableModel::Reload(data::TTable* table) {
  beginResetModel();
  blocks_.clear();
  fieldIndex_.clear();
  rows_ = 0;
  currentRow_ = -1;
  loaded_ = table;
  if (table != nullptr) {
    for (const Column& c : columns_) {
      fieldIndex_.push_back(table->FieldByName(c.fieldName.toStdString()).Index());
    }
    rows_ = table->RecordCount();
    currentRow_ = table->Position();
  }
  endResetModel();
}

void TTableModel::OnDataEvent(data::TDataEvent event) {
  data::TTable* table = Table();
  // A newly bound or reopened table shows its current entry as a located
  // one, in the middle of the rows: it may be the entry a view bound before
  // this one has just searched there. Another view may also have moved the
  // table before this model heard that it was opened; it loads it first.
  if (event == TDataEvent::ActiveChanged || table != loaded_) {
    Reload(table);
    emit CurrentMoved(currentRow_, true);
    return;
  }
  if (table == nullptr) return;
  const int previous = currentRow_;
  currentRow_ = table->Position();
  if (previous >= 0 && previous < rows_) emit headerDataChanged(Qt::Vertical, previous, previous);
  if (currentRow_ >= 0) emit headerDataChanged(Qt::Vertical, currentRow_, currentRow_);
  emit CurrentMoved(currentRow_, event == TDataEvent::Located);
}

const data::TEntry* TTableModel::EntryAt(int row) const {
  data::TTable* table = Table();
  if (table == nullptr || row < 0 || row >= rows_) return nullptr;
  const int block = row / kBlock;
  auto it = blocks_.find(block);
  if (it == blocks_.end()) {
    if (blocks_.size() >= kMaxBlocks) {
      // Drop the block farthest from the one needed now.
      auto far = blocks_.begin();
      if (std::abs(std::prev(blocks_.end())->first - block) > std::abs(far->first - block)) {
        far = std::prev(blocks_.end());
      }
      blocks_.erase(far);
    }
    it = blocks_.emplace(block, table->ReadEntries(block * kBlock, kBlock)).first;
  }
  const size_t offset = static_cast<size_t>(row - block * kBlock);
  return offset < it->second.size() ? &it->second[offset] : nullptr;
}

QString TTableModel::FieldAt(int row, const QString& fieldName) const {
  data::TTable* table = Table();
  const data::TEntry* entry = EntryAt(row);
  if (table == nullptr || entry == nullptr) return {};
  const int field = table->FieldByName(fieldName.toStdString()).Index();
  if (field < 0 || static_cast<size_t>(field) >= entry->values.size()) return {};
  return QString::fromStdString(entry->values[static_cast<size_t>(field)]);
}

int TTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const data::TEntry* entry = EntryAt(index.row());
  const size_t column = static_cast<size_t>(index.column());
  if (entry == nullptr || column >= fieldIndex_.size()) return {};
  const std::string& text = entry->values[static_cast<size_t>(fieldIndex_[column])];
  // A cell shows one line: line breaks of multi-line texts become spaces.
  QString value = QString::fromStdString(text);
  value.replace(QLatin1String("\r\n"), QLatin1String(" "));
  value.replace(QLatin1Char('\n'), QLatin1Char(' '));
  value.replace(QLatin1Char('\r'), QLatin1Char(' '));
  return value;
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    return section >= 0 && section < columnCount() ? columns_[static_cast<size_t>(section)].title
                                                   : QVariant();
  }
  return section == currentRow_ ? QStringLiteral("\u25B6") : QString();
}

Qt::ItemFlags TTableModel::flags(const QModelIndex& index) const {
  // Selectable for navigation, never editable: the tables are read-only.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace lugatim::widgets
