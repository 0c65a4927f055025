#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QPaintEvent>
#include <QTest>
#include <QToolTip>

#include "SkinTestSupport.h"

using namespace lugatim::skin;
using namespace skintest;

namespace {

struct Event {
  std::string kind, id;
  TMouseButton button = TMouseButton::mbLeft;
  TShiftState shift = 0;
  int x = 0, y = 0;
};

// Records the regions of every paint event the surface receives.
class PaintRecorder : public QObject {
 public:
  std::vector<QRegion> regions;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(e)->region());
    return false;
  }
};

const char* kAreas =
    "[Version]\r\nVer=150\r\n"
    "[HOTAREAINFO]\r\nCount=6\r\n"
    "1=A, 10, 10, 20, 20, tipA\r\n"
    "2=B, 50, 10, 20, 20, tipB\r\n"
    "3=S, 10, 50, 10, 10, tipS, FALSE\r\n"
    "4=G1, 40, 50, 10, 10, t, FALSE, grp\r\n"
    "5=G2, 60, 50, 10, 10, t, FALSE, grp\r\n"
    "6=O, 15, 15, 30, 30, over\r\n";

class SkinPointer : public ::testing::Test {
 protected:
  void SetUp() override {
    rig = std::make_unique<Rig>(SimpleSkin(Faces() + kAreas));
    skin = rig->skin;
    skin->SetWindowMoveStarter([this] {
      ++movesStarted;
      return moveGoesOn;
    });
    skin->OnMouseDownNotify = [this](std::string id, TMouseButton b, TShiftState s, int x, int y) {
      events.push_back({"down", id, b, s, x, y});
    };
    skin->OnMouseUpNotify = [this](std::string id, TMouseButton b, TShiftState s, int x, int y) {
      events.push_back({"up", id, b, s, x, y});
    };
    skin->OnMouseMoveNotify = [this](std::string id, TShiftState s, int x, int y) {
      events.push_back({"move", id, TMouseButton::mbLeft, s, x, y});
    };
    skin->LoadSkin();
  }
  QRgb At(int x, int y) const { return skin->Canvas().pixel(x, y); }
  void Show() {
    rig->form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig->form.get()));
    skin->installEventFilter(&paints);
    QApplication::processEvents();
    paints.regions.clear();
  }

  std::unique_ptr<Rig> rig;
  TSkinForm* skin = nullptr;
  std::vector<Event> events;
  int movesStarted = 0;
  bool moveGoesOn = false;
  PaintRecorder paints;
};

}  // namespace

TEST_F(SkinPointer, HoverDrawsTheHoverFaceAndReportsTheArea) {
  skin->MouseMove(0, 15, 12);
  EXPECT_EQ(At(15, 12), kOn);
  EXPECT_EQ(At(35, 12), kUp);
  EXPECT_EQ(skin->Hint(), "tipA");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, "move");
  EXPECT_EQ(events[0].id, "A");
  EXPECT_EQ(events[0].x, 15);
  skin->MouseMove(0, 90, 75);
  EXPECT_EQ(events.back().id, "");
  EXPECT_EQ(skin->Hint(), "");
}

TEST_F(SkinPointer, FullRepaintOnlyAtTheMoveAfterEnteringOrLeaving) {
  const int base = skin->FullPaintCount();
  skin->MouseMove(0, 90, 75);  // outside, as before
  EXPECT_EQ(skin->FullPaintCount(), base);
  skin->MouseMove(0, 12, 12);  // enters A
  EXPECT_EQ(skin->FullPaintCount(), base);
  EXPECT_TRUE(skin->NeedsRepaint());
  skin->MouseMove(0, 13, 12);  // the move after entering
  EXPECT_EQ(skin->FullPaintCount(), base + 1);
  EXPECT_EQ(At(12, 12), kOn);  // hover copied again after the repaint
  skin->MouseMove(0, 14, 12);
  skin->MouseMove(0, 55, 12);  // straight into B: no repaint, A keeps its hover face
  EXPECT_EQ(skin->FullPaintCount(), base + 1);
  EXPECT_EQ(At(12, 12), kOn);
  EXPECT_EQ(At(55, 12), kOn);
  skin->MouseMove(0, 90, 75);  // leaves the hot areas
  EXPECT_EQ(skin->FullPaintCount(), base + 1);
  skin->MouseMove(0, 91, 75);  // the move after leaving removes the hover faces
  EXPECT_EQ(skin->FullPaintCount(), base + 2);
  EXPECT_EQ(At(12, 12), kUp);
  EXPECT_EQ(At(55, 12), kUp);
}

// The pointer can leave the surface for a control without one move over the
// surface between: the hover face it left is put out at once.
TEST_F(SkinPointer, LeavingTheSurfacePutsOutTheHoverFace) {
  const int base = skin->FullPaintCount();
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(skin, &leave);  // nothing lit: nothing to do
  EXPECT_EQ(skin->FullPaintCount(), base);
  skin->MouseMove(0, 15, 12);
  ASSERT_EQ(At(15, 12), kOn);
  QCoreApplication::sendEvent(skin, &leave);
  EXPECT_EQ(At(15, 12), kUp);
  EXPECT_EQ(skin->FullPaintCount(), base + 1);
  EXPECT_EQ(skin->Hint(), "");
  EXPECT_EQ(skin->CurrentID(), "");
  EXPECT_FALSE(skin->NeedsRepaint());
  skin->MouseMove(0, 15, 12);  // back over A: lit again
  EXPECT_EQ(At(15, 12), kOn);
}

TEST_F(SkinPointer, HoverRepaintsOnlyTheAreaRectangle) {
  Show();
  QTest::mouseMove(skin, QPoint(90, 75));
  QApplication::processEvents();
  paints.regions.clear();
  QTest::mouseMove(skin, QPoint(52, 12));
  QApplication::processEvents();
  ASSERT_FALSE(paints.regions.empty());
  for (const QRegion& r : paints.regions) EXPECT_EQ(r, QRegion(50, 10, 20, 20));
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().id, "B");
}

TEST_F(SkinPointer, NoHoverFaceWhenHoverIsOff) {
  MemoryResources res = SimpleSkin(
      "[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=up.bmp\r\nMouseDownBitmap=down.bmp\r\n"
      "[HOTAREAINFO]\r\nCount=1\r\n1=A, 10, 10, 20, 20, FALSE\r\n");
  Rig other(res);
  other.skin->LoadSkin();
  EXPECT_FALSE(other.skin->HoverEnabled());  // hover name defaults to the pressed name
  other.skin->MouseMove(0, 12, 12);
  EXPECT_EQ(other.skin->Canvas().pixel(12, 12), kUp);
}

TEST_F(SkinPointer, LeftPressAndReleaseOnAnArea) {
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 12);
  EXPECT_EQ(At(12, 12), kDown);
  EXPECT_TRUE(skin->HotAreas()[0].Pressed);
  EXPECT_TRUE(skin->HotPressed());
  EXPECT_EQ(movesStarted, 0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, "down");
  EXPECT_EQ(events[0].id, "A");
  EXPECT_EQ(events[0].shift, ssLeft);
  const int paintsBefore = skin->FullPaintCount();
  skin->MouseUp(TMouseButton::mbLeft, 0, 12, 12);
  EXPECT_EQ(skin->FullPaintCount(), paintsBefore + 1);
  EXPECT_FALSE(skin->HotAreas()[0].Pressed);
  EXPECT_FALSE(skin->HotPressed());
  EXPECT_EQ(At(12, 12), kUp);
  EXPECT_EQ(events.back().kind, "up");
  EXPECT_EQ(events.back().id, "A");
}

TEST_F(SkinPointer, ReleaseReportsTheAreaUnderThePointerNotThePressedOne) {
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 12);
  skin->MouseUp(TMouseButton::mbLeft, 0, 55, 12);
  EXPECT_EQ(events.back().id, "B");
  EXPECT_TRUE(skin->HotAreas()[0].Pressed);  // only the area released over is cleared
  EXPECT_EQ(At(12, 12), kDown);              // and so it keeps its pressed face
  skin->MouseMove(0, 90, 75);                // a move elsewhere clears it
  EXPECT_FALSE(skin->HotAreas()[0].Pressed);
}

TEST_F(SkinPointer, RightButtonDrawsAndMovesNothing) {
  skin->MouseDown(TMouseButton::mbRight, ssRight, 12, 12);
  EXPECT_EQ(At(12, 12), kUp);
  EXPECT_FALSE(skin->HotAreas()[0].Pressed);
  EXPECT_EQ(movesStarted, 0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].id, "");
  EXPECT_EQ(events[0].button, TMouseButton::mbRight);
  skin->MouseUp(TMouseButton::mbRight, 0, 12, 12);
  EXPECT_EQ(events.back().id, "A");
  EXPECT_EQ(events.back().button, TMouseButton::mbRight);
}

TEST_F(SkinPointer, OverlappingAreasTheFirstListedWins) {
  skin->MouseMove(0, 20, 20);
  EXPECT_EQ(events.back().id, "A");
  EXPECT_EQ(skin->Hint(), "tipA");
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 20, 20);
  EXPECT_TRUE(skin->HotAreas()[0].Pressed);
  EXPECT_FALSE(skin->HotAreas()[5].Pressed);
  skin->MouseMove(0, 40, 40);  // only O
  EXPECT_EQ(events.back().id, "O");
}

TEST_F(SkinPointer, SwitchAlternatesOnEachLeftPress) {
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 52);
  EXPECT_TRUE(skin->HotAreas()[2].Checked);
  EXPECT_EQ(At(12, 52), kDown);
  skin->MouseUp(TMouseButton::mbLeft, 0, 12, 52);
  EXPECT_EQ(At(12, 52), kDown);  // checked: pressed face after the full repaint
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 12, 52);
  EXPECT_FALSE(skin->HotAreas()[2].Checked);
  EXPECT_EQ(At(12, 52), kUp);
  skin->MouseUp(TMouseButton::mbLeft, 0, 12, 52);
  EXPECT_EQ(At(12, 52), kUp);
  skin->MouseDown(TMouseButton::mbRight, ssRight, 12, 52);
  EXPECT_FALSE(skin->HotAreas()[2].Checked);
}

TEST_F(SkinPointer, RadioGroupMovesTheCheck) {
  const auto press = [this](int x) {
    skin->MouseDown(TMouseButton::mbLeft, ssLeft, x, 52);
    skin->MouseUp(TMouseButton::mbLeft, 0, x, 52);
  };
  press(42);
  EXPECT_TRUE(skin->HotAreas()[3].Checked);
  EXPECT_EQ(skin->GroupSelection().Strings(0), "3");
  press(62);
  EXPECT_FALSE(skin->HotAreas()[3].Checked);
  EXPECT_TRUE(skin->HotAreas()[4].Checked);
  EXPECT_EQ(skin->GroupSelection().Strings(0), "4");
  EXPECT_EQ(At(42, 52), kUp);
  EXPECT_EQ(At(62, 52), kDown);
  press(62);  // the checked member stays checked
  EXPECT_TRUE(skin->HotAreas()[4].Checked);
  EXPECT_EQ(skin->GroupSelection().Strings(0), "4");
  EXPECT_EQ(At(62, 52), kDown);
}

TEST_F(SkinPointer, GroupBookkeeping) {
  EXPECT_EQ(skin->IndexOfHotArea("G2"), 4);
  EXPECT_EQ(skin->IndexOfHotArea("g2"), -1);
  EXPECT_EQ(skin->HotAreaIDAt(1), "B");
  EXPECT_EQ(skin->HotAreaIDAt(6), "");
  EXPECT_EQ(skin->HotAreaIDAt(-1), "");
  const int paintsBefore = skin->FullPaintCount();
  skin->SetHotAreaChecked("S", true);
  EXPECT_TRUE(skin->HotAreas()[2].Checked);
  EXPECT_EQ(skin->FullPaintCount(), paintsBefore + 1);
  skin->SetHotAreaChecked("nothing", true);
  EXPECT_EQ(skin->FullPaintCount(), paintsBefore + 1);
}

TEST_F(SkinPointer, PressOutsideEveryAreaMovesTheWindow) {
  skin->MouseDown(TMouseButton::mbLeft, ssLeft, 90, 75);
  EXPECT_EQ(movesStarted, 1);
  ASSERT_EQ(events.size(), 1u);  // no move possible: the notification follows at once
  EXPECT_EQ(events[0].id, "");
}

TEST_F(SkinPointer, MouseDownNotificationWaitsForTheEndOfTheMove) {
  Show();
  moveGoesOn = true;
  QTest::mousePress(skin, Qt::LeftButton, Qt::NoModifier, QPoint(90, 75));
  EXPECT_EQ(movesStarted, 1);
  EXPECT_TRUE(
      std::none_of(events.begin(), events.end(), [](const Event& e) { return e.kind == "down"; }));
  QTest::mouseMove(skin, QPoint(20, 12));  // back under the pointer: the move has ended
  std::vector<std::string> kinds;
  for (const Event& e : events) kinds.push_back(e.kind + ":" + e.id);
  EXPECT_EQ(kinds, (std::vector<std::string>{"down:", "move:A"}));
  EXPECT_EQ(events[0].x, 90);
}

TEST_F(SkinPointer, WidgetEventsReachTheHandlers) {
  Show();
  QTest::mousePress(skin, Qt::LeftButton, Qt::ShiftModifier, QPoint(55, 15));
  QTest::mouseRelease(skin, Qt::LeftButton, Qt::NoModifier, QPoint(12, 12));
  ASSERT_GE(events.size(), 2u);
  const Event& down = events[events.size() - 2];
  EXPECT_EQ(down.kind, "down");
  EXPECT_EQ(down.id, "B");
  EXPECT_EQ(down.shift, ssLeft | ssShift);
  EXPECT_EQ(events.back().kind, "up");
  EXPECT_EQ(events.back().id, "A");
}

TEST_F(SkinPointer, HintFollowsTheAreaUnderThePointer) {
  Show();
  QTest::mouseMove(skin, QPoint(12, 12));
  QHelpEvent help(QEvent::ToolTip, QPoint(12, 12), skin->mapToGlobal(QPoint(12, 12)));
  EXPECT_TRUE(skin->SkinShowHint(&help));
  EXPECT_EQ(QToolTip::text(), "tipA");
  QTest::mouseMove(skin, QPoint(55, 12));
  if (QToolTip::isVisible()) {
    EXPECT_EQ(QToolTip::text(), "tipB");
  }
  QTest::mouseMove(skin, QPoint(90, 75));
  QHelpEvent none(QEvent::ToolTip, QPoint(90, 75), skin->mapToGlobal(QPoint(90, 75)));
  EXPECT_FALSE(skin->SkinShowHint(&none));
  // Qt lets a tip fade out; it goes within its hide delay.
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
}

// Areas whose far corner lies beyond the 32-bit range: the pressed face
// covers exactly the part of the area on the surface.
TEST(SkinPointerRange, AreaReachingPastTheIntegerRange) {
  Rig rig(SimpleSkin(Faces() + "[Version]\r\nVer=150\r\n[HOTAREAINFO]\r\nCount=2\r\n"
                               "1=WIDE, 90, 10, 2147483647, 20, wide\r\n"
                               "2=TALL, 10, 40, 20, 2147483647, tall, TRUE\r\n"));
  rig.skin->LoadSkin();
  const auto at = [&](int x, int y) { return rig.skin->Canvas().pixel(x, y); };
  // The checked switch is drawn pressed from its top to the bottom edge.
  EXPECT_EQ(at(15, 45), kDown);
  EXPECT_EQ(at(15, 79), kDown);
  EXPECT_EQ(at(15, 35), kUp);
  rig.skin->MouseDown(TMouseButton::mbLeft, ssLeft, 95, 15);
  EXPECT_EQ(rig.skin->CurrentID(), "WIDE");
  EXPECT_EQ(at(95, 15), kDown);
  EXPECT_EQ(at(99, 29), kDown);
  EXPECT_EQ(at(50, 15), kUp);  // left of the area
  EXPECT_EQ(AreaRect(rig.skin->HotAreas()[0]).right(), 1 << 30);
}

TEST(SkinTypes, QtTermsOfButtonsAndShiftState) {
  EXPECT_EQ(ToQtButton(TMouseButton::mbLeft), Qt::LeftButton);
  EXPECT_EQ(ToQtButton(TMouseButton::mbRight), Qt::RightButton);
  EXPECT_EQ(ToQtButton(TMouseButton::mbMiddle), Qt::MiddleButton);
  EXPECT_EQ(ToQtModifiers(ssShift | ssCtrl | ssLeft), Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(ToQtModifiers(ssAlt), Qt::KeyboardModifiers(Qt::AltModifier));
}
