// Finding and reading an entry in the whole window: the grid centres an
// entry however the table was moved, the typed search follows the
// headwords' language, the labels keep their distance, and every control
// is named by its label for assistive technology.

#include <QAccessible>
#include <QKeyEvent>

#include "AppFixture.h"

using namespace lugatim;

class Finding : public WindowFixture {
 protected:
  // The same forty numbered headwords in both tables, so a headword chosen
  // in one is re-found in the other.
  void MakeNumbered() {
    std::vector<Row> rows;
    for (int i = 0; i < 40; ++i) {
      char word[16];
      std::snprintf(word, sizeof word, "word%02d", i);
      rows.push_back({word, "meaning " + std::to_string(i)});
    }
    MakeTable("Sozluk1.DB", rows);
    MakeTable("SozlukE1.DB", rows);
  }
  void TypeIntoCombo(const QString& text) {
    window_->DBLookupComboBox1->setFocus();
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(window_->DBLookupComboBox1, &press);
    }
  }
  // The row a located entry takes in the grid: the middle of the rows shown.
  void ExpectCentred(int row) {
    const int shown = window_->DBGrid1->VisibleRows();
    ASSERT_GE(shown, 3);
    EXPECT_EQ(window_->DBGrid1->currentIndex().row(), row);
    EXPECT_EQ(window_->DBGrid1->TopRow(), row - (shown - 1) / 2);
  }
};

TEST_F(Finding, ReFoundEntryStandsInTheGridsMiddleAfterCtrlSAndALanguageSwitch) {
  MakeNumbered();
  Start();
  TypeIntoCombo("word2");
  ASSERT_EQ(Shown(), "word20");
  ExpectCentred(20);

  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(Shown(), "word20");
  ExpectCentred(20);

  window_->SpeedButton1->click();  // the other table re-finds the chosen headword
  ASSERT_EQ(state_.currentLanguage, "Eng");
  ASSERT_EQ(Shown(), "word20");
  ExpectCentred(20);
  window_->SpeedButton1->click();
  ASSERT_EQ(Shown(), "word20");
  ExpectCentred(20);
}

TEST_F(Finding, ComboTypedSearchFollowsTheLanguageOfEachTable) {
  MakeTable("Sozluk1.DB", {{"idea", "fikir"}, {"ılgım", "-"}, {"ink", "mürekkep"}});
  MakeTable("SozlukE1.DB", {{"ılgım", "mirage"},
                            {"ilaç", "medicine"},
                            {"ın başkenti", "-"},
                            {"incir", "fig"},
                            {"ağaç", "tree"}});
  Start();
  // Turkish interface, English headwords: I is the capital of i.
  TypeIntoCombo("IN");
  EXPECT_EQ(Shown(), "ink");
  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_Escape);

  window_->SpeedButton1->click();  // English interface, Turkish headwords
  TypeIntoCombo("il");
  EXPECT_EQ(Shown(), "ilaç");
  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_Escape);
  TypeIntoCombo("İN");
  EXPECT_EQ(Shown(), "incir");
  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_Escape);
  TypeIntoCombo("IL");
  EXPECT_EQ(Shown(), "ılgım");
  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_Escape);
  TypeIntoCombo("agac");  // without Turkish keys
  EXPECT_EQ(Shown(), "ağaç");
  EXPECT_EQ(window_->DBLookupComboBox1->Text(), "ağaç");
}

TEST_F(Finding, LabelsKeepTheirRightEdgesAndFourPixelsFromEveryControl) {
  MakeDictionaries();
  Start();
  const auto check = [&] {
    const std::vector<std::pair<QLabel*, int>> rightEdges = {
        {window_->Label1, 106}, {window_->Label2, 308}, {window_->Label3, 135},
        {window_->Label4, 135}, {window_->Label5, 135}, {window_->Label6, 135},
        {window_->Label7, 135}};
    for (auto [label, right] : rightEdges) {
      SCOPED_TRACE(label->text().toStdString());
      const QRect r = label->geometry();
      EXPECT_EQ(r.x() + r.width(), right);
      // The whole caption fits its label.
      EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), r.width());
      for (QWidget* control :
           {static_cast<QWidget*>(window_->Edit1),
            static_cast<QWidget*>(window_->DBLookupComboBox1),
            static_cast<QWidget*>(window_->DBEdit2), static_cast<QWidget*>(window_->DBMemo1)}) {
        const QRect c = control->geometry();
        if (c.top() >= r.bottom() || r.top() >= c.bottom()) continue;  // another row
        const int gap =
            c.left() >= r.right() ? c.left() - (r.x() + r.width()) : r.left() - (c.x() + c.width());
        EXPECT_GE(gap, 4) << control->objectName().toStdString();
      }
    }
  };
  check();
  window_->SpeedButton1->click();
  check();
}

TEST_F(Finding, ControlsAreNamedByTheirLabelsInTheCurrentLanguage) {
  MakeDictionaries();
  Start();
  const auto name = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a != nullptr ? a->text(QAccessible::Name).toStdString() : std::string("-");
  };
  const auto role = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a != nullptr ? a->role() : QAccessible::NoRole;
  };
  auto& w = *window_;
  EXPECT_EQ(name(w.Edit1), "Kelime Ara");
  EXPECT_EQ(role(w.Edit1), QAccessible::EditableText);
  EXPECT_EQ(name(w.DBLookupComboBox1), "Kelime Ara");
  EXPECT_EQ(role(w.DBLookupComboBox1), QAccessible::ComboBox);
  EXPECT_EQ(name(w.DBEdit2), "Kelime");
  EXPECT_EQ(name(w.DBEdit4), "Önek / Sonek");
  EXPECT_EQ(name(w.DBMemo1), "Anlamı");
  EXPECT_EQ(name(w.DBMemo2), "Örnek");

  w.SpeedButton1->click();
  EXPECT_EQ(name(w.Edit1), "Look up Word");
  EXPECT_EQ(name(w.DBLookupComboBox1), "Look up Word");
  EXPECT_EQ(name(w.DBEdit3), "Category");
  EXPECT_EQ(name(w.DBMemo1), "Meaning");

  // The combo box's value is its chosen headword.
  w.DBLookupComboBox1->setFocus();
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("k"));
  QApplication::sendEvent(w.DBLookupComboBox1, &press);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.DBLookupComboBox1)
                ->text(QAccessible::Value)
                .toStdString(),
            "kapı");
}
