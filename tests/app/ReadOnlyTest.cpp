// A scripted session over the tables — lookups, an edit attempted in every
// data-aware control, Ctrl+S, language switches — leaves their files byte for
// byte as they were.

#include <QCryptographicHash>
#include <QFile>

#include "AppFixture.h"

using namespace lugatim;

namespace {

QByteArray Digest(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

}  // namespace

class ReadOnly : public WindowFixture {};

TEST_F(ReadOnly, ASessionOfLookupsEditsAndReopeningsLeavesTheTableFilesUnchanged) {
  MakeDictionaries();
  const QByteArray turkish = Digest(dir_ + "Sozluk1.DB");
  const QByteArray english = Digest(dir_ + "SozlukE1.DB");
  ASSERT_FALSE(turkish.isEmpty());
  Start();
  auto& w = *window_;
  for (const char* word : {"bo", "cat", "do", "Ist"}) {
    w.Edit1->clear();
    QTest::keyClicks(w.Edit1, word);
  }
  // Try to edit every data-aware control: type, delete, paste, cut, undo.
  QWidget* const controls[] = {w.DBEdit2, w.DBEdit3, w.DBEdit4,          w.DBMemo1,
                               w.DBMemo2, w.DBGrid1, w.DBLookupComboBox1};
  for (int round = 0; round < 2; ++round) {
    for (QWidget* control : controls) {
      control->setFocus();
      QTest::keyClicks(control, "xyz");
      QTest::keyClick(control, Qt::Key_Delete);
      QTest::keyClick(control, Qt::Key_Backspace);
      QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
      QTest::keyClick(control, Qt::Key_X, Qt::ControlModifier);
      QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
      QTest::keyClick(control, Qt::Key_F2);  // the usual "edit cell" key of a grid
    }
    QTest::keyClick(w.Edit1, Qt::Key_S, Qt::ControlModifier);  // reopen both tables
    w.DilDegis->trigger();
  }
  EXPECT_EQ(w.DBEdit2->text(), QString::fromStdString(dataModule_->SozlukTBKelime.AsString()));
  EXPECT_TRUE(dialogs_.errors.empty());
  window_.reset();
  dataModule_.reset();  // closed: every byte is on disk
  EXPECT_EQ(Digest(dir_ + "Sozluk1.DB"), turkish);
  EXPECT_EQ(Digest(dir_ + "SozlukE1.DB"), english);
  for (const char* leftover : {"Sozluk1.DB-journal", "Sozluk1.DB-wal", "SozlukE1.DB-journal"}) {
    EXPECT_FALSE(std::filesystem::exists(dir_ + leftover)) << leftover;
  }
}
