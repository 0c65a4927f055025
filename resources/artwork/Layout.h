#pragma once
// Where the window's controls and the skin's hot areas lie, in window
// coordinates of the 480 x 480 skin. The face is drawn around them.

#include <QRect>
#include <QRectF>

namespace artwork {

constexpr int kSize = 480;

// Hot areas of the built-in description.
constexpr QRect kKapat(460, 0, 25, 25);
constexpr QRect kKucult(420, 0, 25, 25);
constexpr QRect kTercume(20, 20, 165, 20);
constexpr QRect kSozluk(210, 20, 165, 20);

// Controls of the main window.
constexpr QRect kFlag(390, 15, 35, 20);
constexpr QRect kSearch(115, 52, 97, 24);
constexpr QRect kCombo(317, 52, 116, 24);
constexpr QRect kGrid(55, 85, 382, 97);
constexpr QRect kWord(150, 194, 285, 24);
constexpr QRect kCategory(150, 227, 285, 24);
constexpr QRect kAffix(150, 260, 285, 24);
constexpr QRect kMeaning(150, 293, 285, 28);
constexpr QRect kExample(150, 327, 285, 26);
constexpr QRect kBanner(12, 356, 468, 60);

// The window outline's bumps around the close and minimise areas.
constexpr QPoint kKapatCentre(469, 13);
constexpr QPoint kKucultCentre(432, 13);
constexpr int kButtonRadius = 11;

// The circle buttons drawn in those bumps. The minimise circle sits right of
// the bump's centre so that it clears the flag's box.
constexpr QPointF kKapatButton(469, 13);
constexpr QPointF kKucultButton(435, 13);
constexpr double kButtonFace = 9;

// The box around the flag: 3 pixels around the glyph's flag, which the flag
// button draws at (392, 16), 30 x 18, inside its 35 x 20.
constexpr QRectF kFlagBox(388.5, 12.5, 37, 25);

// The banner's frame, from left of the banner to just inside the right rim;
// its gold line runs on the pixel row or column just inside it, so that a
// dark row 353 parts it from the example box above.
constexpr QRectF kBannerFrame(7, 353, 471, 67);

}  // namespace artwork
