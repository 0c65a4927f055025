#include "app/OnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lugatim::app {

namespace {

// One axis: start and length of the window, of the area.
int KeptOnAxis(int start, int length, int areaStart, int areaLength) {
  if (length > areaLength) return areaStart - (length - areaLength) / 2;
  if (start < areaStart) return areaStart;
  if (start + length > areaStart + areaLength) return areaStart + areaLength - length;
  return start;
}

}  // namespace

QPoint KeptOnScreen(const QRect& frame, const QRect& available) {
  return {KeptOnAxis(frame.x(), frame.width(), available.x(), available.width()),
          KeptOnAxis(frame.y(), frame.height(), available.y(), available.height())};
}

void KeepOnScreen(QWidget& window) {
  const QRect frame = window.frameGeometry();
  QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QPoint corner = KeptOnScreen(frame, screen->availableGeometry());
  if (corner != frame.topLeft()) window.move(corner);
}

}  // namespace lugatim::app
