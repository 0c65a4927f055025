#include "widgets/DBEdit.h"

#include <QHelpEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <cmath>

#include "widgets/WholeText.h"

namespace lugatim::widgets {

QString FieldText(const data::TDataLink& link, const QString& fieldName) {
  data::TTable* table = link.ActiveTable();
  if (table == nullptr || fieldName.isEmpty() || table->RecordCount() == 0) return {};
  return QString::fromStdString(table->FieldByName(fieldName.toStdString()).AsString());
}

TDBEdit::TDBEdit(QWidget* parent)
    : QLineEdit(parent), link_([this](data::TDataEvent) { Refresh(); }) {
  setReadOnly(true);
}

void TDBEdit::SetDataField(const QString& fieldName) {
  field_ = fieldName;
  Refresh();
}

void TDBEdit::Refresh() {
  setText(FieldText(link_, field_));
  setCursorPosition(0);
}

TDBMemo::TDBMemo(QWidget* parent)
    : QPlainTextEdit(parent), link_([this](data::TDataEvent) { Refresh(); }) {
  setReadOnly(true);
  // Read-only, yet with a caret the keys move, so the rest of a long text
  // scrolls into view without scroll bars.
  setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WordWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  FitWholeLines();
}

void TDBMemo::FitWholeLines() {
  // The first line starts below the document's margin; lines are as high as
  // the font. The viewport ends below the last line that fits whole.
  const qreal line = QFontMetricsF(document()->defaultFont()).height();
  const qreal margin = document()->documentMargin();
  const int available = contentsRect().height();
  const int lines = std::max(1, static_cast<int>((available - margin) / line));
  const int used = static_cast<int>(std::ceil(margin + lines * line));
  setViewportMargins(0, 0, 0, std::max(0, available - used));
}

void TDBMemo::resizeEvent(QResizeEvent* event) {
  FitWholeLines();
  QPlainTextEdit::resizeEvent(event);
}

void TDBMemo::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitWholeLines();
}

bool TDBMemo::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    ShowWholeText(viewport(), static_cast<QHelpEvent*>(event), toPlainText(), viewport()->rect());
    return true;
  }
  return QPlainTextEdit::viewportEvent(event);
}

void TDBMemo::SetDataField(const QString& fieldName) {
  field_ = fieldName;
  Refresh();
}

void TDBMemo::Refresh() {
  QString text = FieldText(link_, field_);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(text);
  verticalScrollBar()->setValue(0);
}

}  // namespace lugatim::widgets
