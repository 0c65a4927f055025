#pragma once
// Data-aware edit and memo: they show one field of the current entry of
// their data source, follow every move of the table and reject every edit
// (the tables are read-only). The caret still moves, so long texts can be
// scrolled into view with the caret keys.

#include <QLineEdit>
#include <QPlainTextEdit>

#include "widgets/FieldLink.h"

namespace lugatim::widgets {

class TDBEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TDBEdit(QWidget* parent = nullptr);
  void SetDataSource(data::TDataSource* source) { link_.SetDataSource(source); }
  data::TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataField(const QString& fieldName);
  const QString& DataField() const { return field_; }

 private:
  void Refresh();
  TFieldDataLink link_;
  QString field_;
};

// A memo shows whole lines only: the space below the last whole line that
// fits stays empty. Resting the pointer on it shows the whole text.
class TDBMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TDBMemo(QWidget* parent = nullptr);
  void SetDataSource(data::TDataSource* source) { link_.SetDataSource(source); }
  data::TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataField(const QString& fieldName);
  const QString& DataField() const { return field_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void Refresh();
  void FitWholeLines();
  TFieldDataLink link_;
  QString field_;
};

// The value of a field of the link's current entry, empty when unbound or closed.
QString FieldText(const data::TDataLink& link, const QString& fieldName);

}  // namespace lugatim::widgets
