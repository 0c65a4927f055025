#include "widgets/DBEdit.h"

#include <QScrollBar>

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
