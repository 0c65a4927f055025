#pragma once
// Data-aware lookup combo box over the headword field of its list source.
//
// It shows its chosen headword and keeps it while the table moves under
// other views. The open list shows the field of every entry in table order,
// at most seven rows, as wide as the box; moving through it moves the table.
// With the list closed, Up/Down choose the neighbouring headword, Alt+Up/Down
// (and F4) open or close the list, and typed characters build a search text
// (data::TTypedSearch: prefix, case-insensitive under the table's language,
// at most 32 characters, started afresh after 2000 ms, cleared by Backspace
// and Esc). Whenever the table is opened again
// or the box is bound to another source, the chosen headword is searched
// there (whole value, case-sensitive); when absent the box shows no text.

#include <QFrame>
#include <QListView>
#include <QWidget>
#include <optional>

#include "base/Clock.h"
#include "data/TypedSearch.h"
#include "widgets/TableModel.h"

namespace lugatim::widgets {

class TDBLookupComboBox : public QWidget {
  Q_OBJECT
 public:
  // listField names the field the list shows and the key searches.
  explicit TDBLookupComboBox(QWidget* parent = nullptr,
                             const QString& listField = QStringLiteral("Kelime"));
  ~TDBLookupComboBox() override;

  void SetListSource(data::TDataSource* source) { model_.SetDataSource(source); }
  data::TDataSource* ListSource() const { return model_.DataSource(); }
  const QString& ListField() const { return field_; }
  void SetClock(const base::TClock* clock) { clock_ = clock; }

  // The chosen headword, if any, and the text the box shows.
  const std::optional<QString>& KeyValue() const { return keyValue_; }
  const QString& Text() const { return text_; }
  QString SearchText() const { return QString::fromStdString(search_.Text()); }
  // What the typed search tries after its exact and marks-free tries.
  void SetLemmaFinder(data::TLemmaFinder finder) { search_.SetLemmaFinder(std::move(finder)); }

  bool ListVisible() const;
  void DropDown();
  // Closes the list; with choose set, the list's current row is chosen.
  void CloseUp(bool choose);
  // Whether the widget belongs to this box or to its open list.
  bool Owns(const QWidget* widget) const;
  // The open list's view, made on first use.
  QListView* List();

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  data::TTable* Table() const { return model_.Table(); }
  std::string Field() const { return field_.toStdString(); }
  QString CurrentHeadword() const;
  void Choose(const QString& headword);
  void SelectNext(int delta);
  void TypeCharacter(const QString& character);
  void ResearchKey();

  TTableModel model_;
  QString field_;
  std::optional<QString> keyValue_;
  QString text_;
  data::TTypedSearch search_;
  const base::TClock* clock_ = &base::SystemClock::Instance();
  QFrame* popup_ = nullptr;
  QListView* list_ = nullptr;
  bool followingTable_ = false;
};

}  // namespace lugatim::widgets
