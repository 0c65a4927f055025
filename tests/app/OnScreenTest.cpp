// The window on the screen's available area: a position that fits is kept,
// one that does not moves just enough, a window larger than the area is
// centred on it.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/OnScreen.h"

using lugatim::app::KeptOnScreen;

TEST(OnScreen, AFittingPositionIsKeptEvenAtTheEdges) {
  const QRect area(0, 0, 1280, 1024);
  EXPECT_EQ(KeptOnScreen({222, 111, 480, 480}, area), QPoint(222, 111));
  EXPECT_EQ(KeptOnScreen({0, 0, 480, 480}, area), QPoint(0, 0));
  EXPECT_EQ(KeptOnScreen({800, 544, 480, 480}, area), QPoint(800, 544));  // touches both edges
  EXPECT_EQ(KeptOnScreen({0, 0, 1280, 1024}, area), QPoint(0, 0));        // exactly the area
  // An area that does not start at 0: a panel on the left and at the top.
  EXPECT_EQ(KeptOnScreen({100, 40, 300, 300}, {64, 32, 1216, 992}), QPoint(100, 40));
}

TEST(OnScreen, APositionOutsideMovesJustEnoughOnEachAxis) {
  // 2× on 1280 × 1024: 640 × 512 logical, the 480 × 480 window at 222, 111.
  EXPECT_EQ(KeptOnScreen({222, 111, 480, 480}, {0, 0, 640, 512}), QPoint(160, 32));
  // Only the axis that is out moves.
  EXPECT_EQ(KeptOnScreen({900, 100, 480, 480}, {0, 0, 1280, 1024}), QPoint(800, 100));
  EXPECT_EQ(KeptOnScreen({100, -50, 480, 480}, {0, 0, 1280, 1024}), QPoint(100, 0));
  EXPECT_EQ(KeptOnScreen({-30, 700, 480, 480}, {0, 0, 1280, 1024}), QPoint(0, 544));
  // Left of and above an area that starts after 0.
  EXPECT_EQ(KeptOnScreen({10, 10, 300, 300}, {64, 32, 1216, 992}), QPoint(64, 32));
  // On a second screen to the right: its own area counts.
  EXPECT_EQ(KeptOnScreen({2500, 900, 480, 480}, {1280, 0, 1920, 1080}), QPoint(2500, 600));
}

TEST(OnScreen, AWindowLargerThanTheAreaIsCentredOnThatAxis) {
  // 960 wide on 640: 160 over each side, wherever it stood.
  EXPECT_EQ(KeptOnScreen({444, 10, 960, 300}, {0, 0, 640, 512}), QPoint(-160, 10));
  EXPECT_EQ(KeptOnScreen({-500, 10, 960, 300}, {0, 0, 640, 512}), QPoint(-160, 10));
  EXPECT_EQ(KeptOnScreen({444, 222, 960, 960}, {0, 0, 640, 512}), QPoint(-160, -224));
  EXPECT_EQ(KeptOnScreen({0, 0, 961, 10}, {100, 0, 640, 512}), QPoint(-60, 0));
}

TEST(OnScreen, AWindowOffTheScreenIsBroughtBackOntoIt) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect area = screen->availableGeometry();
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint, true);
  window.resize(200, 150);
  window.move(area.right() - 50, area.bottom() - 20);
  lugatim::app::KeepOnScreen(window);
  EXPECT_EQ(window.frameGeometry().topLeft(),
            QPoint(area.right() + 1 - 200, area.bottom() + 1 - 150));
  EXPECT_TRUE(area.contains(window.frameGeometry()));
  // Where it fits, it stays.
  window.move(area.x() + 7, area.y() + 9);
  lugatim::app::KeepOnScreen(window);
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(area.x() + 7, area.y() + 9));
}
