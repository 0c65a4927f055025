#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "SkinTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace lugatim::skin;
using namespace skintest;

namespace {

constexpr QRgb kThumbUp = 0xFF101010;
constexpr QRgb kThumbDown = 0xFFF0F000;

// A horizontal bar at (10, 20), length 100, 10 x 8 thumbs (range 90), and a
// vertical one at (80, 0), length 60, 8 x 10 thumbs (range 50).
MemoryResources Bars(const std::string& horizontal = "H, 10, 20, 100, H, 50, slide",
                     const std::string& extra = "") {
  MemoryResources res =
      SimpleSkin("[Version]\r\nVer=150\r\n" + Faces() +
                 "[HOTAREAINFO]\r\nCount=1\r\n1=HOT, 0, 70, 10, 10, hot tip\r\n"
                 "[TRACKBARINFO]\r\nCount=2\r\n"
                 "1=" +
                 horizontal.substr(0, horizontal.find(',')) + ", tup.bmp, tdown.bmp" +
                 horizontal.substr(horizontal.find(',')) +
                 "\r\n2=V, vup.bmp, vdown.bmp, 80, 0, 60, V, 0, vertical\r\n" + extra);
  res.Put("BMP", "MASK", MaskBmp(130, 80, [](int, int) { return true; }));
  res.Put("BMP", "UP", Bmp(Solid(130, 80, kUp)));
  res.Put("BMP", "DOWN", Bmp(Solid(130, 80, kDown)));
  res.Put("BMP", "ON", Bmp(Solid(130, 80, kOn)));
  res.Put("BMP", "TUP", Bmp(Solid(10, 8, kThumbUp)));
  res.Put("BMP", "TDOWN", Bmp(Solid(10, 8, kThumbDown)));
  res.Put("BMP", "VUP", Bmp(Solid(8, 10, kThumbUp)));
  res.Put("BMP", "VDOWN", Bmp(Solid(8, 10, kThumbDown)));
  return res;
}

struct Bar : ::testing::Test {
  void Load(const MemoryResources& res) {
    rig = std::make_unique<Rig>(res);
    skin = rig->skin;
    skin->SetWindowMoveStarter([this] {
      ++moves;
      return false;
    });
    skin->OnTrackBarNotify = [this](std::string id, int position) {
      notes.push_back(id + "=" + std::to_string(position));
    };
    skin->OnMouseDownNotify = [this](std::string id, TMouseButton, TShiftState, int, int) {
      downIds.push_back(id);
    };
    skin->LoadSkin();
  }
  const TrackBarInfoRec& H() const { return skin->TrackBars()[0]; }
  const TrackBarInfoRec& V() const { return skin->TrackBars()[1]; }
  QRgb At(int x, int y) const { return skin->Canvas().pixel(x, y); }

  std::unique_ptr<Rig> rig;
  TSkinForm* skin = nullptr;
  std::vector<std::string> notes, downIds;
  int moves = 0;
};

}  // namespace

TEST_F(Bar, InitialPositionPlacesTheThumb) {
  Load(Bars());
  EXPECT_EQ(H().Offset, 45);
  EXPECT_EQ(At(55, 20), kThumbUp);
  EXPECT_EQ(At(64, 27), kThumbUp);
  EXPECT_EQ(At(54, 20), kUp);
  EXPECT_EQ(At(65, 20), kUp);
}

TEST_F(Bar, PressBesideTheThumbJumpsThere) {
  Load(Bars());
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 15, 22);
  EXPECT_EQ(H().Offset, 0);
  EXPECT_EQ(H().Position, 0);
  EXPECT_EQ(notes, (std::vector<std::string>{"H=0"}));
  EXPECT_FALSE(skin->TrackDragging());
  EXPECT_EQ(moves, 1);  // no hot area and no grab: the window moves too
  EXPECT_EQ(downIds, (std::vector<std::string>{"H"}));
  EXPECT_EQ(At(10, 20), kThumbUp);

  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 109, 22);
  EXPECT_EQ(H().Offset, 90);
  EXPECT_EQ(H().Position, 100);
  EXPECT_EQ(notes.back(), "H=100");
}

TEST_F(Bar, DragMovesInWholePositionSteps) {
  Load(Bars());
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 60, 22);
  EXPECT_TRUE(skin->TrackDragging());
  EXPECT_EQ(skin->ActiveTrack(), 0);
  EXPECT_EQ(skin->DragDelta(), 5);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(moves, 0);
  EXPECT_EQ(downIds, (std::vector<std::string>{"H"}));

  std::vector<std::string> moveIds;
  skin->OnMouseMoveNotify = [&](std::string id, TShiftState, int, int) { moveIds.push_back(id); };
  skin->MouseMove(ssLeft, 80, 40);  // the other coordinate is not checked
  EXPECT_EQ(notes, (std::vector<std::string>{"H=72"}));
  EXPECT_EQ(H().Position, 72);
  EXPECT_EQ(H().Offset, 64);
  EXPECT_EQ(At(74, 20), kThumbDown);  // the grabbed thumb
  EXPECT_EQ(At(73, 20), kUp);
  EXPECT_EQ(moveIds, (std::vector<std::string>{"H"}));

  skin->MouseMove(ssLeft, 111, 22);  // beyond the track: nothing changes
  EXPECT_EQ(notes.size(), 1u);
  EXPECT_EQ(H().Offset, 64);

  skin->MouseMove(ssLeft, 110, 22);  // the end itself is inside
  EXPECT_EQ(notes.back(), "H=100");

  skin->MouseUp(TMouseButton::mbLeft, 0, 110, 22);
  EXPECT_EQ(skin->ActiveTrack(), -1);
  EXPECT_FALSE(skin->TrackDragging());
  EXPECT_EQ(At(100, 20), kThumbUp);
}

TEST_F(Bar, VerticalBarWorksAlongY) {
  Load(Bars());
  EXPECT_EQ(At(80, 0), kThumbUp);
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 82, 30);  // beside the thumb, on the track
  EXPECT_EQ(V().Offset, 25);                              // 30 - 0 - 10 div 2
  EXPECT_EQ(V().Position, 50);
  EXPECT_EQ(notes.back(), "V=50");
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 82, 31);  // on the thumb
  EXPECT_EQ(skin->DragDelta(), 6);
  skin->MouseMove(ssLeft, 0, 46);
  EXPECT_EQ(V().Offset, 40);
  EXPECT_EQ(V().Position, 80);
  EXPECT_EQ(At(80, 40), kThumbDown);
}

TEST_F(Bar, HintsOfBarsGiveWayToHotAreas) {
  Load(Bars());
  skin->MouseMove(0, 30, 25);
  EXPECT_EQ(skin->Hint(), "slide");
  skin->MouseMove(0, 82, 55);
  EXPECT_EQ(skin->Hint(), "vertical");
  skin->MouseMove(0, 5, 75);
  EXPECT_EQ(skin->Hint(), "hot tip");
}

TEST_F(Bar, UpdateTrackBarClampsAndSnaps) {
  Load(Bars("H, 10, 20, 100, H, 300"));
  EXPECT_EQ(H().Position, 44);  // read unclamped
  TrackBarInfoRec bar = H();
  bar.Position = 200;
  skin->UpdateTrackBar(bar);
  EXPECT_EQ(bar.Position, 100);
  EXPECT_EQ(bar.Offset, 90);
  bar.Position = 33;
  skin->UpdateTrackBar(bar);
  EXPECT_EQ(bar.Offset, 29);
}

TEST_F(Bar, ZeroRangeRaisesDivisionByZero) {
  Load(Bars("H, 10, 20, 10, H, 0"));  // length equals the thumb width
  try {
    skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 22);  // grabs: nothing computed yet
    skin->MouseMove(ssLeft, 15, 22);
    FAIL() << "no error";
  } catch (const EDivByZero& e) {
    EXPECT_EQ(e.Message(), "Division by zero");
  }
  EXPECT_TRUE(notes.empty());
}

TEST_F(Bar, ZeroRangeThroughAWidgetEventReachesTheEventLoopAsAnException) {
  Load(Bars("H, 10, 20, 10, H, 0"));
  rig->form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(rig->form.get()));
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 22);
  QMouseEvent move(QEvent::MouseMove, QPointF(15, 22), skin->mapToGlobal(QPointF(15, 22)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  // Qt's event delivery is not built for exceptions: the frames it unwinds
  // drop a few bytes, which the leak checker is told to overlook here.
#if defined(__SANITIZE_ADDRESS__)
  __lsan_disable();
#endif
  EXPECT_THROW(QApplication::sendEvent(skin, &move), EDivByZero);
#if defined(__SANITIZE_ADDRESS__)
  __lsan_enable();
#endif
  // The surface goes on working after the error.
  skin->MouseUp(TMouseButton::mbLeft, 0, 12, 22);
  EXPECT_EQ(skin->ActiveTrack(), -1);
}

// A bar at the end of the 32-bit range loads and paints without
// overflowing: its thumb lies off the surface, which keeps its face.
TEST_F(Bar, BarAtTheEndOfTheIntegerRange) {
  Load(Bars("H, 2147483640, 20, 100, H, 50"));
  EXPECT_EQ(H().Offset, 45);
  EXPECT_EQ(At(60, 22), kUp);
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 2147483645, 22);  // in the track
  EXPECT_EQ(H().Offset, 0);
  EXPECT_EQ(notes.back(), "H=0");
  EXPECT_EQ(At(0, 0), kUp);
}

TEST_F(Bar, ShorterThanTheThumbGivesNegativeOffsets) {
  Load(Bars("H, 10, 20, 6, H, 0"));  // range -4
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 22);
  skin->MouseMove(ssLeft, 14, 22);
  EXPECT_EQ(H().Offset, -4);
  EXPECT_EQ(H().Position, 100);
}

namespace {

constexpr QRgb NumberCell(int c) {
  return qRgb(20 + c * 20, 100, 0);
}
constexpr QRgb TextCell(int row, int col) {
  return qRgb(col * 8, row * 80, 50);
}

MemoryResources Displays(const std::string& lines, int count) {
  MemoryResources res = SimpleSkin(
      "[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=up.bmp\r\nNumbersBitmap=numbers.bmp\r\n"
      "TextBitmap=text.bmp\r\n[DISPLAYINFO]\r\nCount=" +
      std::to_string(count) + "\r\n" + lines);
  QImage numbers(44, 5, QImage::Format_RGB32);
  for (int c = 0; c < 11; ++c)
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 4; ++x) numbers.setPixel(c * 4 + x, y, NumberCell(c));
  QImage text(90, 12, QImage::Format_RGB32);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 30; ++c)
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) text.setPixel(c * 3 + x, r * 4 + y, TextCell(r, c));
  res.Put("BMP", "NUMBERS", Bmp(numbers));
  res.Put("BMP", "TEXT", Bmp(text));
  return res;
}

}  // namespace

TEST(SkinDisplays, NumberDisplayDrawsDigitAndBlankCells) {
  Rig rig(
      Displays("1=N, Arial, FALSE, FALSE, 9, 0, 5, 60, Number, 12 3\r\n"
               "2=M, Arial, FALSE, FALSE, 9, 0, 5, 70, Number, 7a\r\n",
               2));
  rig.skin->LoadSkin();
  const QImage& c = rig.skin->Canvas();
  EXPECT_EQ(c.pixel(5, 60), NumberCell(1));
  EXPECT_EQ(c.pixel(9, 60), NumberCell(2));
  EXPECT_EQ(c.pixel(13, 64), NumberCell(10));
  EXPECT_EQ(c.pixel(17, 60), NumberCell(3));
  EXPECT_EQ(c.pixel(21, 60), kUp);
  EXPECT_EQ(c.pixel(5, 70), NumberCell(7));
  EXPECT_EQ(c.pixel(9, 70), NumberCell(0));  // a letter draws the 0 cell
}

TEST(SkinDisplays, DisplaysAtTheEndsOfTheIntegerRangeDrawNothing) {
  Rig rig(
      Displays("1=N, Arial, FALSE, FALSE, 9, 0, 2147483647, 0, Number, 123\r\n"
               "2=T, Arial, FALSE, FALSE, 9, 0, 2147483640, 0, Text, ABC\r\n"
               "3=F, Arial, FALSE, FALSE, 9, 0, -2147483648, 0, Font, far\r\n",
               3));
  rig.skin->LoadSkin();
  for (int x = 0; x < 100; x += 9)
    for (int y = 0; y < 80; y += 7) ASSERT_EQ(rig.skin->Canvas().pixel(x, y), kUp) << x << "," << y;
}

TEST(SkinDisplays, TextDisplayLooksUpTheThreeRows) {
  Rig rig(Displays("1=T, Arial, FALSE, FALSE, 9, 0, 2, 40, Text, Hi!#\r\n", 1));
  rig.skin->LoadSkin();
  const QImage& c = rig.skin->Canvas();
  EXPECT_EQ(c.pixel(2, 40), TextCell(0, 7));
  EXPECT_EQ(c.pixel(5, 40), TextCell(2, 8));
  EXPECT_EQ(c.pixel(8, 43), TextCell(1, 17));
  EXPECT_EQ(c.pixel(11, 40), TextCell(1, 10));  // # is not in the strip: the blank
  EXPECT_EQ(c.pixel(14, 40), kUp);
}

TEST(SkinDisplays, EmptyStripsDrawNothing) {
  MemoryResources res =
      SimpleSkin(Faces() +
                 "[DISPLAYINFO]\r\nCount=1\r\n1=T, Arial, FALSE, FALSE, 9, 0, 2, 40, "
                 "Number, 88\r\n");
  Rig rig(res);
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.skin->Canvas().pixel(2, 40), kUp);
}

TEST(SkinDisplays, FontTextOnATransparentBackground) {
  Rig rig(Displays("1=F, Sans, TRUE, FALSE, 14, $FFFFFF, 10, 10, Plain, WWWW\r\n", 1));
  rig.skin->LoadSkin();
  const QImage& c = rig.skin->Canvas();
  int lit = 0, face = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 60; ++x) {
      const QRgb p = c.pixel(x, y);
      if (p == kUp)
        ++face;
      else if (qRed(p) > 200 && qGreen(p) > 200)
        ++lit;
    }
  EXPECT_GT(lit, 20);    // the letters
  EXPECT_GT(face, 200);  // and the face between them
}
