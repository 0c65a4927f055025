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
  // The margins around the viewport are the memo's own background.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  FitWholeLines();
}

void TDBMemo::FitWholeLines() {
  // The text's padding lies in the viewport's margins rather than in the
  // document's, which would pad only the first line: scrolled by the caret
  // keys, the viewport still starts at a line's top and ends below the last
  // line that fits whole. The spare height is split above and below.
  constexpr int kPadding = 4;
  document()->setDocumentMargin(0);
  const qreal line = QFontMetricsF(document()->defaultFont()).height();
  const int available = contentsRect().height();
  const int lines = std::max(1, static_cast<int>(available / line));
  const int spare = std::max(0, available - static_cast<int>(std::ceil(lines * line)));
  const int top = std::min(spare / 2, kPadding);
  setViewportMargins(kPadding, top, kPadding, spare - top);
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
