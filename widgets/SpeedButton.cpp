#include "widgets/SpeedButton.h"

#include "base/Exception.h"

namespace lugatim::widgets {

QImage WithBottomLeftTransparent(const QImage& picture) {
  QImage out = picture.convertToFormat(QImage::Format_ARGB32);
  if (out.isNull()) return out;
  const QRgb key = out.pixel(0, out.height() - 1);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return out;
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TSpeedButton::LoadGlyph(const QByteArray& bitmapFile) {
  QImage picture;
  if (!picture.loadFromData(bitmapFile, "BMP")) throw base::Exception("Bitmap image is not valid");
  glyph_ = WithBottomLeftTransparent(picture);
  setIcon(QIcon(QPixmap::fromImage(glyph_)));
  setIconSize(glyph_.size());
}

}  // namespace lugatim::widgets
