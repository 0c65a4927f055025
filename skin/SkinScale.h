#pragma once
// The skin at the screen's scale. A skin brings each image at 1x and may
// bring it again at two or three times the pixels in each direction, as the
// resource "<NAME>@2X" or "<NAME>@3X" of the same type: the surface paints
// the faces whose scale best fits the screen's device pixel ratio, while
// the outline and the hot areas stay in 1x (logical) pixels. A larger mask
// lends the outline a smooth edge where the desktop composites.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <string>
#include <vector>

#include "base/ImageScale.h"

namespace lugatim::skin {

using base::kLargestImageScale;
using base::ScaledResourceName;
using base::ScalesToTry;

// The rectangle of an image's pixels that holds the logical rectangle r of
// the image (r times the image's device pixel ratio).
QRectF PixelRect(const QImage& image, const QRect& r);

// The logical rectangle an image covers from (0, 0).
QRect LogicalRect(const QImage& image);

// The alpha of a smooth outline at a scale: the coverage of the kept pixels
// of a finer mask (key colour and tolerance as for the region), averaged down
// to logicalSize x scale, and nothing outside the region, so that the smooth
// edge lies within the exact outline. Format_Alpha8, device pixel ratio scale.
QImage SmoothOutlineAlpha(const QImage& fineMask, const QColor& keyColor, const QColor& tolerance,
                          const QRegion& region, const QSize& logicalSize, int scale);

// Multiplies the canvas's alpha by the outline's within the logical rectangle r.
void ApplyOutlineAlpha(QImage& canvas, const QImage& alpha, const QRect& r);

}  // namespace lugatim::skin
