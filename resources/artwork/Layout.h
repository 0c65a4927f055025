#pragma once
// Where the window's controls and the skin's hot areas lie, in window
// coordinates of the 480 x 480 skin. The face is drawn around them.

#include <QRect>

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

// Circle buttons drawn inside the close and minimise areas.
constexpr QPoint kKapatCentre(469, 13);
constexpr QPoint kKucultCentre(432, 13);
constexpr int kButtonRadius = 11;

}  // namespace artwork
