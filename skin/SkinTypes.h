#pragma once
// The records of a loaded skin and the notification types of the surface.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <Qt>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lugatim::skin {

// A named rectangle of the face: X <= x < X+Width, Y <= y < Y+Height.
struct HotAreaInfoRec {
  std::string ID;
  int32_t X = 0, Y = 0;
  int32_t Width = 0, Height = 0;
  bool Switch = false;
  bool Checked = false;
  std::string Group;  // radio group, empty for none
  std::string Hint;
  bool Pressed = false;
};

// The font of a display element: what the description gives for it.
struct TDisplayFont {
  QFont font;
  QColor color;
  uint8_t charset = 0;
};

struct DisplayInfoRec {
  std::string ID;
  int32_t X = 0, Y = 0;
  std::unique_ptr<TDisplayFont> Font;
  std::string Style;  // "Number", "Text" or any other (font text)
  std::string Text;
};

struct TrackBarInfoRec {
  std::string ID;
  QImage UpBitmap, DownBitmap;  // idle and grabbed thumb
  int32_t X = 0, Y = 0;
  int32_t Length = 0;
  bool Horizontal = true;
  uint8_t Position = 0;  // 0 to 100
  int32_t Offset = 0;    // thumb offset in pixels from the track's start
  int32_t ThumbWidth = 0, ThumbHeight = 0;
  std::string Hint;
  uint8_t MinPosition = 0, MaxPosition = 100;
};

// Coordinates handed to Qt. The description's values are any 32-bit
// integers; sums of them are formed in 64 bits and brought within +-2^30,
// far outside any surface, so that Qt's own corner arithmetic (int) cannot
// overflow. Within that range nothing changes.
inline int SurfaceCoordinate(int64_t value) {
  constexpr int64_t kLimit = int64_t{1} << 30;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

// The rectangle of a hot area as Qt sees it: corners (X, Y) and
// (X + Width - 1, Y + Height - 1).
inline QRect AreaRect(const HotAreaInfoRec& a) {
  return QRect(QPoint(SurfaceCoordinate(a.X), SurfaceCoordinate(a.Y)),
               QPoint(SurfaceCoordinate(int64_t{a.X} + a.Width - 1),
                      SurfaceCoordinate(int64_t{a.Y} + a.Height - 1)));
}

using THotAreaInfoArray = std::vector<HotAreaInfoRec>;
using TDisplayInfoArray = std::vector<DisplayInfoRec>;
using TTrackBarInfoArray = std::vector<TrackBarInfoRec>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state: the keys and buttons held, as a set of these flags.
enum TShiftFlag : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = unsigned;

// X and Y are surface coordinates, equal to the window's client coordinates.
using TMouseDownNotify =
    std::function<void(std::string ID, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseUpNotify =
    std::function<void(std::string ID, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveNotify = std::function<void(std::string ID, TShiftState Shift, int X, int Y)>;
using TTrackBarNotify = std::function<void(std::string ID, int Position)>;
using TNotifyEvent = std::function<void()>;

// The same facts in Qt's terms, for handlers written against Qt types.
inline Qt::MouseButton ToQtButton(TMouseButton b) {
  return b == TMouseButton::mbLeft    ? Qt::LeftButton
         : b == TMouseButton::mbRight ? Qt::RightButton
                                      : Qt::MiddleButton;
}
inline Qt::KeyboardModifiers ToQtModifiers(TShiftState s) {
  Qt::KeyboardModifiers m;
  if (s & ssShift) m |= Qt::ShiftModifier;
  if (s & ssAlt) m |= Qt::AltModifier;
  if (s & ssCtrl) m |= Qt::ControlModifier;
  return m;
}

}  // namespace lugatim::skin
