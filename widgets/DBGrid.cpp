#include "widgets/DBGrid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTimer>

#include "widgets/WholeText.h"

namespace lugatim::widgets {

void MoveTableWithScrollBar(QAbstractItemView* view, TTableModel* model) {
  QScrollBar* bar = view->verticalScrollBar();
  const auto clamp = [view, model] {
    data::TTable* table = model->Table();
    if (table == nullptr || model->rowCount() == 0) return;
    const QRect area = view->viewport()->rect();
    const int top = view->indexAt(area.topLeft()).row();
    int bottom = view->indexAt(QPoint(0, area.bottom())).row();
    if (top < 0) return;
    if (bottom < 0) bottom = model->rowCount() - 1;
    const int row = table->Position();
    if (row < top) table->MoveTo(top);
    if (row > bottom) table->MoveTo(bottom);
  };
  // The scroll bar applies its step after announcing it: look afterwards.
  QObject::connect(bar, &QScrollBar::actionTriggered, view,
                   [view, clamp](int) { QTimer::singleShot(0, view, clamp); });
}

TDBGrid::TDBGrid(std::vector<TTableModel::Column> columns, QWidget* parent)
    : QTableView(parent), model_(std::move(columns), this) {
  setModel(&model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);  // the scroll bar counts rows
  setWordWrap(false);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setMinimumWidth(12);
  verticalHeader()->setSectionsClickable(false);
  connect(&model_, &TTableModel::CurrentMoved, this, &TDBGrid::FollowTable);
  MoveTableWithScrollBar(this, &model_);
}

int TDBGrid::VisibleRows() const {
  const int rowHeight = verticalHeader()->defaultSectionSize();
  return rowHeight > 0 ? viewport()->height() / rowHeight : 0;
}

int TDBGrid::TopRow() const {
  return rowAt(0);
}

void TDBGrid::FollowTable(int row, bool located) {
  if (row < 0) return;
  following_ = true;
  const int column =
      currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndex(0);
  const QModelIndex index = model_.index(row, column);
  setCurrentIndex(index);
  if (located) {
    // A located entry sits in the middle of the rows shown, as far as the
    // ends of the table allow (the view's own centring favours the top).
    const int shown = std::max(1, VisibleRows());
    const int top = std::clamp(row - (shown - 1) / 2, 0, std::max(0, model_.rowCount() - shown));
    verticalScrollBar()->setValue(top);
  } else {
    scrollTo(index, QAbstractItemView::EnsureVisible);
  }
  following_ = false;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (following_ || !current.isValid()) return;
  data::TTable* table = model_.Table();
  if (table != nullptr && current.row() != table->Position()) table->MoveTo(current.row());
}

QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  if ((action != MoveNext && action != MovePrevious) || !current.isValid()) {
    return QTableView::moveCursor(action, modifiers);
  }
  // Walk the cells in their shown (visual) order, wrapping to the entry
  // before or after at the ends of a row; at the ends of the table stay.
  QHeaderView* header = horizontalHeader();
  const int columns = model_.columnCount();
  int visual = header->visualIndex(current.column());
  int row = current.row();
  if (action == MoveNext) {
    if (++visual >= columns) {
      if (row + 1 >= model_.rowCount()) return current;
      visual = 0;
      ++row;
    }
  } else {
    if (--visual < 0) {
      if (row == 0) return current;
      visual = columns - 1;
      --row;
    }
  }
  return model_.index(row, header->logicalIndex(visual));
}

bool TDBGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip && !toolTipField_.isEmpty()) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int row = rowAt(help->pos().y());
    // The whole row is the tip's area: moving along it keeps the tip.
    const QRect area(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
    ShowWholeText(viewport(), help, row >= 0 ? model_.FieldAt(row, toolTipField_) : QString(),
                  area);
    return true;
  }
  return QTableView::viewportEvent(event);
}

bool TDBGrid::focusNextPrevChild(bool next) {
  // Tab and Shift+Tab belong to the grid's cells: the focus never leaves by them.
  const QModelIndex target = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
  if (target.isValid() && target != currentIndex()) {
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  }
  return true;
}

}  // namespace lugatim::widgets
