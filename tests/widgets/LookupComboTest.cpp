#include <QKeyEvent>
#include <QListView>

#include "WidgetFixture.h"
#include "widgets/DBLookupComboBox.h"

using namespace lugatim;
using namespace lugatim::widgets;

class LookupCombo : public DictionaryFixture {
 protected:
  void SetUp() override {
    DictionaryFixture::SetUp();
    combo_ = new TDBLookupComboBox(&window_);
    combo_->setGeometry(10, 10, 116, 24);
    combo_->SetClock(&clock_);
    combo_->SetListSource(&source_);
    ShowWindow();
    combo_->setFocus();
  }
  void Type(const QString& text) {
    for (QChar c : text) {
      QTest::keyClick(combo_, c.toLatin1() ? c.toLatin1() : 'x');
      clock_.AdvanceMs(100);
    }
  }
  void TypeUnicode(const QString& character) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
    QApplication::sendEvent(combo_, &press);
    clock_.AdvanceMs(100);
  }
  std::string Current() const { return table_.FieldByName("Kelime").AsString(); }

  base::ManualClock clock_;
  TDBLookupComboBox* combo_ = nullptr;
};

TEST_F(LookupCombo, TypedTextSearchesByPrefixIgnoringCase) {
  EXPECT_FALSE(combo_->KeyValue().has_value());
  Type("WORD1");
  EXPECT_EQ(combo_->SearchText(), "WORD1");
  EXPECT_EQ(combo_->Text(), "word10");
  EXPECT_EQ(Current(), "word10");
  Type("q");  // no headword begins with "word1q": the character is dropped
  EXPECT_EQ(combo_->SearchText(), "WORD1");
  EXPECT_EQ(combo_->Text(), "word10");
  Type("5");
  EXPECT_EQ(combo_->Text(), "word15");
}

TEST_F(LookupCombo, TurkishLettersFoldInTheSearch) {
  TypeUnicode("İ");
  EXPECT_EQ(combo_->Text(), "Istanbul");
  QTest::keyClick(combo_, Qt::Key_Escape);
  TypeUnicode("I");
  TypeUnicode("S");
  TypeUnicode("L");
  EXPECT_EQ(combo_->Text(), "ıslak");
}

TEST_F(LookupCombo, SearchTextStartsAfreshAfterTwoSecondsAndOnBackspaceOrEsc) {
  Type("word2");
  EXPECT_EQ(combo_->Text(), "word23");  // word20..22 are renamed in the fixture
  clock_.AdvanceMs(1900);               // 2000 ms after the last character: still the same search
  Type("5");
  EXPECT_EQ(combo_->SearchText(), "word25");
  clock_.AdvanceMs(2001);
  Type("w");
  EXPECT_EQ(combo_->SearchText(), "w");
  QTest::keyClick(combo_, Qt::Key_Backspace);
  EXPECT_EQ(combo_->SearchText(), "");
  Type("is");
  EXPECT_EQ(combo_->Text(), "Istanbul");
  QTest::keyClick(combo_, Qt::Key_Escape);
  EXPECT_EQ(combo_->SearchText(), "");
}

TEST_F(LookupCombo, SearchTextHoldsAtMostThirtyTwoCharacters) {
  table_.Close();
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  const std::string longWord(40, 'a');
  MakeTable("Sozluk1.DB", {{longWord}});
  table_.Open();
  Type(QString(40, 'a'));
  EXPECT_EQ(combo_->SearchText().size(), 32);
  EXPECT_EQ(combo_->Text().toStdString(), longWord);
}

TEST_F(LookupCombo, UpAndDownWithTheListClosedChooseNeighboursOfTheChosenHeadword) {
  QTest::keyClick(combo_, Qt::Key_Down);  // nothing chosen: the first headword
  EXPECT_EQ(combo_->Text(), "word00");
  QTest::keyClick(combo_, Qt::Key_Down);
  EXPECT_EQ(combo_->Text(), "word01");
  table_.MoveTo(40);  // another view moves the table: the box keeps its headword
  EXPECT_EQ(combo_->Text(), "word01");
  QTest::keyClick(combo_, Qt::Key_Down);
  EXPECT_EQ(combo_->Text(), "word02");
  QTest::keyClick(combo_, Qt::Key_Up);
  QTest::keyClick(combo_, Qt::Key_Up);
  QTest::keyClick(combo_, Qt::Key_Up);  // at the first entry already
  EXPECT_EQ(combo_->Text(), "word00");
  EXPECT_FALSE(combo_->ListVisible());
}

TEST_F(LookupCombo, OpeningWithNothingChosenGoesToTheFirstEntry) {
  table_.MoveTo(30);
  // The list's view is made when the list first opens, and it still follows
  // the table then.
  EXPECT_TRUE(combo_->findChildren<QListView*>().isEmpty());
  QTest::keyClick(combo_, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(combo_->ListVisible());
  EXPECT_EQ(table_.Position(), 0);
  EXPECT_EQ(combo_->List()->viewport()->height(), 7 * combo_->List()->sizeHintForRow(0));
  EXPECT_EQ(combo_->List()->window()->width(), combo_->width());
  // Keys in the open list move the table along.
  QTest::keyClick(combo_->List(), Qt::Key_Down);
  QTest::keyClick(combo_->List(), Qt::Key_Down);
  EXPECT_EQ(table_.Position(), 2);
  EXPECT_FALSE(combo_->KeyValue().has_value());  // moving is not choosing
  QTest::keyClick(combo_->List(), Qt::Key_Up, Qt::AltModifier);
  EXPECT_FALSE(combo_->ListVisible());
  EXPECT_EQ(combo_->Text(), "");
}

TEST_F(LookupCombo, ClickingADuplicateChoosesItsHeadwordAndLocatesTheFirstOfThem) {
  combo_->DropDown();
  ASSERT_TRUE(combo_->ListVisible());
  table_.MoveTo(22);  // the second "word05"
  QListView* list = combo_->List();
  const QRect row = list->visualRect(list->model()->index(22, 0));
  ASSERT_TRUE(row.isValid());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_FALSE(combo_->ListVisible());
  EXPECT_EQ(combo_->Text(), "word05");
  EXPECT_EQ(table_.Position(), 5);  // exactly that headword, first in index order
}

TEST_F(LookupCombo, ChosenHeadwordIsSearchedAgainWhenTheTableReopensOrIsRebound) {
  Type("word33");
  table_.Close();
  EXPECT_EQ(combo_->Text(), "");
  table_.Open();  // opens on the first entry; the box moves it to its headword
  EXPECT_EQ(combo_->Text(), "word33");
  EXPECT_EQ(table_.Position(), 33);

  // Another table without the headword: empty text; back: found again.
  MakeTable("SozlukE1.DB", {{"elma"}, {"kitap"}});
  data::TTable other("SozlukETB");
  other.databaseName = "Lugatim";
  other.tableName = "SozlukE1.DB";
  other.Open();
  data::TDataSource otherSource("Dtsrc2", &other);
  combo_->SetListSource(&otherSource);
  EXPECT_EQ(combo_->Text(), "");
  EXPECT_EQ(other.Position(), 0);
  combo_->SetListSource(&source_);
  EXPECT_EQ(combo_->Text(), "word33");
}
