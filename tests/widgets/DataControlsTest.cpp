#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

#include "WidgetFixture.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/SpeedButton.h"

using namespace lugatim;
using namespace lugatim::widgets;

class DataControls : public DictionaryFixture {
 protected:
  TDBGrid* MakeGrid() {
    auto* grid = new TDBGrid(
        {{"Kelime", "Word"}, {"Kategori", "Category"}, {"OnekSonek", "Prefix/Suffix"}}, &window_);
    grid->setGeometry(10, 10, 382, 97);
    grid->SetDataSource(&source_);
    return grid;
  }
};

TEST_F(DataControls, EditAndMemoFollowTheTableAndRejectEveryEdit) {
  auto* edit = new TDBEdit(&window_);
  edit->SetDataField("Kelime");
  edit->SetDataSource(&source_);
  auto* memo = new TDBMemo(&window_);
  memo->setGeometry(0, 40, 285, 28);
  memo->SetDataField("Anlami");
  memo->SetDataSource(&source_);
  ShowWindow();
  EXPECT_EQ(edit->text(), "word00");
  table_.MoveBy(3);
  EXPECT_EQ(edit->text(), "word03");
  EXPECT_EQ(memo->toPlainText(), "meaning 3");

  edit->setFocus();
  QTest::keyClicks(edit, "xyz");
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "word03");
  memo->setFocus();
  QTest::keyClicks(memo, "abc");
  QTest::keyClick(memo, Qt::Key_Delete);
  EXPECT_EQ(memo->toPlainText(), "meaning 3");
  EXPECT_EQ(table_.FieldByName("Kelime").AsString(), "word03");
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(memo->wordWrapMode(), QTextOption::WordWrap);

  table_.Close();
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(memo->toPlainText(), "");
}

TEST_F(DataControls, MemoCaretKeysScrollALongTextIntoView) {
  table_.Close();
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  MakeTable("Sozluk1.DB", {{"long",
                            "one two three four five six seven eight nine ten eleven "
                            "twelve thirteen fourteen fifteen sixteen seventeen"}});
  table_.Open();
  auto* memo = new TDBMemo(&window_);
  memo->setGeometry(0, 0, 120, 28);
  memo->SetDataField("Anlami");
  memo->SetDataSource(&source_);
  ShowWindow();
  memo->setFocus();
  const int before = memo->verticalScrollBar()->value();
  for (int i = 0; i < 6; ++i) QTest::keyClick(memo, Qt::Key_Down);
  EXPECT_GT(memo->verticalScrollBar()->value(), before);
}

TEST_F(DataControls, GridShowsTitlesIndicatorAndCentresALocatedEntry) {
  TDBGrid* grid = MakeGrid();
  ShowWindow();
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Word");
  EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), "Prefix/Suffix");
  EXPECT_EQ(grid->model()->headerData(0, Qt::Vertical).toString(), "\u25B6");
  EXPECT_EQ(grid->model()->headerData(1, Qt::Vertical).toString(), "");
  EXPECT_EQ(grid->model()->rowCount(), 60);

  ASSERT_TRUE(table_.Locate("Kelime", "word40", data::loPartialKey));
  const int visible = grid->VisibleRows();
  ASSERT_GE(visible, 3);
  const int top = grid->TopRow();
  EXPECT_LE(top, 40);
  EXPECT_EQ(40 - top, (visible - 1) / 2);
  EXPECT_EQ(grid->currentIndex().row(), 40);
  EXPECT_EQ(grid->model()->headerData(40, Qt::Vertical).toString(), "\u25B6");

  ASSERT_TRUE(table_.Locate("Kelime", "word01", 0));  // the start: as centred as it allows
  EXPECT_EQ(grid->TopRow(), 0);
  ASSERT_TRUE(table_.Locate("Kelime", "word59", 0));  // the end: as centred as it allows
  EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
  EXPECT_EQ(grid->rowAt(grid->viewport()->height() - 1), 59);
  EXPECT_EQ(grid->currentIndex().row(), 59);
}

TEST_F(DataControls, GridClicksAndKeysMoveTheTable) {
  TDBGrid* grid = MakeGrid();
  ShowWindow();
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(table_.Position(), 2);
  QTest::keyClick(grid, Qt::Key_PageDown);
  EXPECT_GT(table_.Position(), 2);
  QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(table_.Position(), 0);
  const QRect cell = grid->visualRect(grid->model()->index(1, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(table_.Position(), 1);
  EXPECT_EQ(grid->model()->flags(grid->model()->index(1, 1)) & Qt::ItemIsEditable, 0);
  QTest::keyClicks(grid, "zz");
  EXPECT_EQ(table_.FieldByName("Kelime").AsString(), "word01");
}

TEST_F(DataControls, GridTabWrapsToTheNeighbouringEntryAndNeverLeaves) {
  TDBGrid* grid = MakeGrid();
  auto* after = new TDBEdit(&window_);
  after->setGeometry(0, 200, 50, 20);
  ShowWindow();
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(0, 0));
  for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_EQ(grid->currentIndex().row(), 1);
  EXPECT_EQ(grid->currentIndex().column(), 0);
  EXPECT_EQ(table_.Position(), 1);
  QTest::keyClick(grid, Qt::Key_Backtab);
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_EQ(grid->currentIndex().column(), 2);
  EXPECT_TRUE(grid->hasFocus());

  // With a column moved, Tab follows the columns as shown.
  grid->horizontalHeader()->moveSection(2, 0);        // shown order: Prefix/Suffix, Word, Category
  grid->setCurrentIndex(grid->model()->index(4, 1));  // Category, last shown
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_EQ(grid->currentIndex().row(), 5);
  EXPECT_EQ(grid->currentIndex().column(), 2);

  table_.Last();
  grid->setCurrentIndex(grid->model()->index(59, 1));
  QTest::keyClick(grid, Qt::Key_Tab);  // the very last cell: stays, focus stays
  EXPECT_EQ(grid->currentIndex().row(), 59);
  EXPECT_TRUE(grid->hasFocus());
}

TEST_F(DataControls, GridScrollBarCarriesTheCurrentEntry) {
  TDBGrid* grid = MakeGrid();
  ShowWindow();
  QScrollBar* bar = grid->verticalScrollBar();
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  ASSERT_TRUE(QTest::qWaitFor([&] { return table_.Position() >= 55; }));
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  ASSERT_TRUE(QTest::qWaitFor([&] { return table_.Position() <= grid->VisibleRows(); }));
}

TEST(SpeedButtonGlyph, BottomLeftColourBecomesTransparent) {
  QImage picture(4, 3, QImage::Format_RGB32);
  picture.fill(QColor(128, 128, 128));
  picture.setPixel(1, 1, qRgb(255, 0, 0));
  const QImage glyph = WithBottomLeftTransparent(picture);
  EXPECT_EQ(qAlpha(glyph.pixel(0, 2)), 0);
  EXPECT_EQ(qAlpha(glyph.pixel(3, 0)), 0);
  EXPECT_EQ(glyph.pixel(1, 1), qRgb(255, 0, 0));

  TSpeedButton button;
  EXPECT_THROW(button.LoadGlyph(QByteArray("not a bitmap")), base::Exception);
}

// A memo as high as the window's meaning memo shows its first line whole and
// nothing of the next: the second line's accents and dots (the tallest marks
// of a line) leave the picture exactly as a one-line text does.
TEST_F(DataControls, MemoShowsWholeLinesOnly) {
  auto* memo = new TDBMemo(&window_);
  QFont font = memo->font();
  font.setPixelSize(14);
  memo->setFont(font);
  ShowWindow();
  for (const int height : {28, 26, 45}) {
    SCOPED_TRACE(height);
    memo->setGeometry(0, 0, 285, height);
    memo->setPlainText(QStringLiteral("first line"));
    const QImage one = memo->grab().toImage();
    memo->setPlainText(QStringLiteral("first line\nİÖÜÂ ÇİÖ ÜŞ İİÖÖ ÜÜ ÂÂ"));
    const QImage two = memo->grab().toImage();
    // The 45 pixel memo has room for two whole lines: the second shows.
    EXPECT_EQ(one == two, height < 40);
  }
}

// The memo's own layout, to tell which lines lie in its viewport.
class LaidOutMemo : public TDBMemo {
 public:
  using TDBMemo::TDBMemo;
  // Lines the viewport shows whole and lines it cuts.
  std::pair<int, int> WholeAndCutLines() const {
    const QRectF view = viewport()->rect();
    int whole = 0, cut = 0;
    for (QTextBlock b = firstVisibleBlock(); b.isValid(); b = b.next()) {
      const QRectF block = blockBoundingGeometry(b).translated(contentOffset());
      if (block.top() >= view.bottom()) break;
      for (int i = 0; i < b.layout()->lineCount(); ++i) {
        const QRectF line = b.layout()->lineAt(i).rect().translated(block.topLeft());
        // Lines lie at fractional heights: less than a pixel row does not count.
        const QRectF inside = line.intersected(view);
        if (inside.height() < 1) continue;
        ++(inside.height() > line.height() - 1 ? whole : cut);
      }
    }
    return {whole, cut};
  }
};

// Scrolled by the caret keys, line by line through a wrapped text, the
// memos of the window's sizes still show one whole line and nothing cut.
TEST_F(DataControls, MemoScrolledByCaretKeysShowsWholeLinesOnly) {
  ShowWindow();
  for (const int height : {28, 26}) {
    SCOPED_TRACE(height);
    auto* memo = new LaidOutMemo(&window_);
    QFont font = memo->font();
    font.setPixelSize(14);
    memo->setFont(font);
    memo->setGeometry(0, 0, 285, height);
    memo->show();
    memo->setPlainText(QStringLiteral(
        "1. a first sense long enough to wrap onto a second line of the memo\n2. second\n"
        "3. third sense\n4. fourth"));
    memo->setFocus();
    for (int step = 0; step < 6; ++step) {
      SCOPED_TRACE(step);
      EXPECT_EQ(memo->WholeAndCutLines(), std::make_pair(1, 0));
      QTest::keyClick(memo, Qt::Key_Down);
    }
    delete memo;
  }
}

TEST_F(DataControls, MemoAndGridRowsShowTheWholeTextAsTooltip) {
  const QString longText = QStringLiteral(
      "1. a meaning long enough to need several lines when it is wrapped at a readable "
      "width & more <b>not bold</b>\n2. a second sense on a line of its own");
  auto* memo = new TDBMemo(&window_);
  memo->setGeometry(0, 120, 285, 28);
  memo->setPlainText(longText);
  TDBGrid* grid = MakeGrid();
  grid->SetToolTipField("Anlami");
  ShowWindow();

  const auto tipAt = [](QWidget* viewport, QPoint pos) {
    QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  const QString memoTip = tipAt(memo->viewport(), {10, 5});
  QTextDocument shown;
  shown.setHtml(memoTip);
  EXPECT_EQ(shown.toPlainText(), longText);  // whole, breaks kept, nothing taken as markup
  EXPECT_TRUE(memoTip.contains(memo->font().family()));
  // Wrapped: the tip is narrower than its text in one line, and several lines high.
  QWidget* label = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->inherits("QLabel") && w->isVisible()) label = w;
  ASSERT_NE(label, nullptr);
  EXPECT_LT(label->width(), memo->fontMetrics().horizontalAdvance(longText) / 2);
  EXPECT_GE(label->height(), 3 * memo->fontMetrics().height());

  // Each grid row shows its own entry's meaning.
  const int row = 2;
  const QString rowTip =
      tipAt(grid->viewport(), {30, grid->rowViewportPosition(row) + grid->rowHeight(row) / 2});
  shown.setHtml(rowTip);
  EXPECT_EQ(shown.toPlainText(), QStringLiteral("meaning %1").arg(grid->TopRow() + row));
  QToolTip::hideText();
}
