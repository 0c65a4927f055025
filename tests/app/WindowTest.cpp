#include <QHeaderView>
#include <QMenu>

#include "AppFixture.h"

using namespace lugatim;

class Window : public WindowFixture {};

TEST_F(Window, ComponentsSitWhereTheDescriptionPutsThem) {
  MakeDictionaries();
  Start();
  auto& w = *window_;
  EXPECT_EQ(w.pos(), QPoint(222, 111));
  EXPECT_EQ(w.size(), QSize(480, 480));  // the skin's mask decides the size and the outline
  EXPECT_FALSE(w.mask().isEmpty());
  EXPECT_EQ(w.SkinForm1->geometry(), QRect(0, 0, 480, 480));
  EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(w.windowTitle(), "Sözlük (İngilizce - Türkçe)");
  EXPECT_EQ(w.font().pixelSize(), 14);
  EXPECT_EQ(w.Edit1->geometry(), QRect(115, 52, 97, 24));
  EXPECT_EQ(w.DBLookupComboBox1->geometry(), QRect(317, 52, 116, 24));
  EXPECT_EQ(w.DBGrid1->geometry(), QRect(55, 85, 382, 97));
  EXPECT_EQ(w.DBEdit2->geometry(), QRect(150, 194, 285, 24));
  EXPECT_EQ(w.DBEdit3->geometry(), QRect(150, 227, 285, 24));
  EXPECT_EQ(w.DBEdit4->geometry(), QRect(150, 260, 285, 24));
  EXPECT_EQ(w.DBMemo1->geometry(), QRect(150, 293, 285, 28));
  EXPECT_EQ(w.DBMemo2->geometry(), QRect(150, 327, 285, 26));
  EXPECT_EQ(w.SpeedButton1->geometry(), QRect(390, 15, 35, 20));
  EXPECT_EQ(w.Image1->geometry(), QRect(12, 356, 468, 60));
  EXPECT_EQ(w.SpeedButton1->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(w.Image1->cursor().shape(), Qt::PointingHandCursor);

  for (QLabel* label : {w.Label1, w.Label2, w.Label3, w.Label4, w.Label5, w.Label6, w.Label7}) {
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    EXPECT_FALSE(label->autoFillBackground());
    // The caption is drawn in yellow, whole, over the face beneath.
    const QImage drawn = label->grab().toImage();
    int yellow = 0;
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        const QColor c = drawn.pixelColor(x, y);
        yellow += c.red() > 200 && c.green() > 200 && c.blue() < 80;
      }
    }
    EXPECT_GT(yellow, 10) << label->objectName().toStdString();
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
  }
  // Labels keep their right edges beside their boxes.
  EXPECT_EQ(w.Label1->geometry().right() + 1, 106);
  EXPECT_EQ(w.Label2->geometry().right() + 1, 308);
  for (QLabel* label : {w.Label3, w.Label4, w.Label5, w.Label6, w.Label7}) {
    EXPECT_EQ(label->geometry().right() + 1, 135) << label->objectName().toStdString();
  }
  EXPECT_EQ(w.Label3->y(), 194);  // fixed labels keep their place and height
  EXPECT_EQ(w.Label3->height(), 16);
  EXPECT_GE(w.Label3->width(), 43);

  const QHeaderView* titles = w.DBGrid1->horizontalHeader();
  EXPECT_EQ(w.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), "Category");
  for (int c = 0; c < 3; ++c) EXPECT_EQ(titles->sectionSize(c), 120);
  EXPECT_TRUE(titles->sectionsMovable());

  EXPECT_EQ(w.Timer1->interval(), 30000);
  EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(Window, ActionsAndPopupMenuCarryCaptionsAndShortcuts) {
  MakeDictionaries();
  Start();
  auto& w = *window_;
  std::vector<std::string> names;
  for (QAction* a : w.ActionList1) names.push_back(a->objectName().toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"Kapat", "Kucult", "DilDegis", "Hakkinda", "URLAc",
                                             "ReklamListele", "VerKontrolEt", "BannerIndir",
                                             "BannerGoruntule", "Temizle"}));
  EXPECT_EQ(w.Hakkinda->shortcut(), QKeySequence(Qt::Key_F1));
  w.URLAc->trigger();  // no handler: nothing happens, nothing fails
  w.Temizle->trigger();
  EXPECT_TRUE(dialogs_.errors.empty());
  const auto items = w.PopupMenu1->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0], w.Kapat);
  EXPECT_EQ(items[1], w.Hakkinda);
  EXPECT_EQ(items[1]->shortcut().toString(QKeySequence::NativeText), "F1");
  EXPECT_EQ(w.AcKapa->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

TEST_F(Window, SearchBoxFindsPrefixesCaseSensitivelyAndKeepsTheLastFind) {
  MakeDictionaries();
  Start();
  QTest::keyClicks(window_->Edit1, "bo");
  EXPECT_EQ(Shown(), "book");
  EXPECT_EQ(window_->DBMemo1->toPlainText(), "kitap");
  QTest::keyClicks(window_->Edit1, "x");  // "box": nothing begins so, "book" stays
  EXPECT_EQ(Shown(), "book");
  EXPECT_EQ(window_->Edit1->text(), "box");
  EXPECT_EQ(window_->DBGrid1->currentIndex().row(), 2);

  window_->Edit1->clear();
  QTest::keyClicks(window_->Edit1, "Cat");  // capitals differ: not found
  EXPECT_EQ(Shown(), "book");
  window_->DBLookupComboBox1->setFocus();
  QTest::keyClicks(window_->DBLookupComboBox1, "CAT");  // the combo ignores case
  EXPECT_EQ(Shown(), "cat");
  EXPECT_EQ(window_->DBLookupComboBox1->Text(), "cat");
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(Window, EnterMovesTheFocusInTabOrderAndWraps) {
  MakeDictionaries();
  Start();
  auto& w = *window_;
  EXPECT_EQ(QApplication::focusWidget(), w.Edit1);
  const std::vector<QWidget*> order = {w.DBLookupComboBox1, w.DBGrid1, w.DBEdit2, w.DBEdit3,
                                       w.DBEdit4,           w.DBMemo1, w.DBMemo2, w.Edit1};
  for (QWidget* next : order) {
    Enter();
    EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
  }
  EXPECT_EQ(w.DBMemo1->toPlainText(), "elma");  // no line break reached a memo

  // Enter with the combo's list open closes it without choosing.
  w.DBLookupComboBox1->setFocus();
  w.DBLookupComboBox1->DropDown();
  ASSERT_TRUE(w.DBLookupComboBox1->ListVisible());
  QTest::keyClick(w.DBLookupComboBox1->List(), Qt::Key_Down);
  QTest::keyClick(w.DBLookupComboBox1->List(), Qt::Key_Return);
  EXPECT_FALSE(w.DBLookupComboBox1->ListVisible());
  EXPECT_FALSE(w.DBLookupComboBox1->KeyValue().has_value());
  EXPECT_EQ(QApplication::focusWidget(), w.DBGrid1);
}

TEST_F(Window, CtrlSReopensTheTablesOnTheirFirstEntries) {
  MakeDictionaries();
  Start();
  QTest::keyClicks(window_->Edit1, "do");
  ASSERT_EQ(Shown(), "dog");
  QTest::keyClick(window_->Edit1, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "apple");
  EXPECT_EQ(window_->DBGrid1->currentIndex().row(), 0);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(Window, OpeningTheComboListAfterStartUpJumpsToTheFirstEntry) {
  MakeDictionaries();
  Start();
  QTest::keyClicks(window_->Edit1, "ca");
  ASSERT_EQ(Shown(), "cat");
  window_->DBLookupComboBox1->setFocus();
  QTest::keyClick(window_->DBLookupComboBox1, Qt::Key_Down, Qt::AltModifier);
  EXPECT_TRUE(window_->DBLookupComboBox1->ListVisible());
  EXPECT_EQ(Shown(), "apple");
}

TEST_F(Window, ClosedTableMakesEverySearchKeystrokeAnErrorAndTheWindowGoesOn) {
  MakeTable("SozlukE1.DB", {{"elma", "apple"}});  // the Turkish-side table is missing
  Start();
  ASSERT_EQ(dialogs_.messages.size(), 1u);  // the damaged-database message, once
  EXPECT_EQ(dialogs_.messages[0], data::kDamagedDatabaseMessage);
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(window_->DBGrid1->model()->rowCount(), 0);
  QTest::keyClicks(window_->Edit1, "ab");
  ASSERT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_EQ(dialogs_.errors[0], "SozlukTB: Cannot perform this operation on a closed dataset.");
  EXPECT_EQ(window_->Edit1->text(), "ab");
  EXPECT_EQ(Shown(), "");
}

TEST_F(Window, HotAreaReleasesAndMovesDriveActionsAndTheCursor) {
  MakeDictionaries();
  Start();
  auto& w = *window_;
  int dilDegis = 0;
  QObject::connect(w.DilDegis, &QAction::triggered, [&] { ++dilDegis; });
  int urlAc = 0;
  QObject::connect(w.URLAc, &QAction::triggered, [&] { ++urlAc; });
  w.SkinForm1MouseUpNotify("BAYRAK", skin::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(dilDegis, 1);
  EXPECT_EQ(state_.currentLanguage, "Eng");
  w.SkinForm1MouseUpNotify("BAYRAK", skin::TMouseButton::mbRight, 0, 0, 0);
  w.SkinForm1MouseUpNotify("bayrak", skin::TMouseButton::mbLeft, 0, 0, 0);  // IDs compare exactly
  EXPECT_EQ(dilDegis, 1);
  w.SkinForm1MouseUpNotify("TERCUME", skin::TMouseButton::mbLeft, 0, 0, 0);
  w.SkinForm1MouseUpNotify("SOZLUK", skin::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(urlAc, 2);
  w.SkinForm1MouseUpNotify("KAPAT", skin::TMouseButton::mbRight, 0, 0, 0);
  w.SkinForm1MouseUpNotify("", skin::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_TRUE(w.isVisible());

  for (const char* id : {"KUCULT", "KAPAT", "SOZLUK", "TERCUME", "BAYRAK"}) {
    w.SkinForm1MouseMoveNotify(id, 0, 1, 1);
    EXPECT_EQ(w.cursor().shape(), Qt::PointingHandCursor) << id;
  }
  w.SkinForm1MouseMoveNotify("", 0, 1, 1);
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(w.Edit1->cursor().shape(), Qt::IBeamCursor);  // controls keep their own
}

TEST_F(Window, LeftReleaseOnKapatEndsTheMessageLoop) {
  MakeDictionaries();
  Start();
  QTimer::singleShot(0, window_.get(), [this] {
    window_->SkinForm1MouseUpNotify("KAPAT", skin::TMouseButton::mbLeft, 0, 0, 0);
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(7); });
  watchdog.start(5000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(Window, RightClickWhereNoControlLiesOpensThePopupButNotOverALabel) {
  MakeDictionaries();
  Start();
  const QPoint overLabel = window_->Label3->geometry().center();
  QContextMenuEvent onLabel(QContextMenuEvent::Mouse, QPoint(2, 2),
                            window_->mapToGlobal(overLabel));
  QApplication::sendEvent(window_->Label3, &onLabel);
  EXPECT_FALSE(window_->PopupMenu1->isVisible());

  // The surface leaves the right click to the window it covers.
  const QPoint free(240, 440);
  ASSERT_EQ(window_->childAt(free), window_->SkinForm1);
  QContextMenuEvent onSurface(QContextMenuEvent::Mouse, free, window_->mapToGlobal(free));
  QApplication::sendEvent(window_->SkinForm1, &onSurface);
  EXPECT_TRUE(window_->PopupMenu1->isVisible());
  window_->PopupMenu1->close();
}
