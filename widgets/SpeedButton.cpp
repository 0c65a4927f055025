#include "widgets/SpeedButton.h"

#include <QPaintEngine>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "base/Exception.h"
#include "base/ImageScale.h"
#include "codecs/NamedFormat.h"

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

namespace {

QImage ReadGlyph(const QByteArray& bitmapFile) {
  const QImage picture = codecs::ReadImageData(bitmapFile, "bmp");
  if (picture.isNull()) throw base::Exception("Bitmap image is not valid");
  return WithBottomLeftTransparent(picture);
}

}  // namespace

void TSpeedButton::LoadGlyph(const QByteArray& bitmapFile,
                             const std::map<int, QByteArray>& scaled) {
  QImage glyph = ReadGlyph(bitmapFile);
  std::map<int, QImage> larger;
  for (const auto& [scale, bytes] : scaled) {
    QImage picture = ReadGlyph(bytes);
    if (scale < 2 || picture.size() != glyph.size() * scale)
      throw base::Exception("Bitmap image is not valid");
    picture.setDevicePixelRatio(scale);
    larger.emplace(scale, std::move(picture));
  }
  glyph_ = std::move(glyph);
  scaled_ = std::move(larger);
  // The icon stands for the glyph where the style asks for it (size hints,
  // accessibility); paintEvent draws the glyph itself.
  QIcon icon(QPixmap::fromImage(glyph_));
  for (const auto& [scale, picture] : scaled_) icon.addPixmap(QPixmap::fromImage(picture));
  setIcon(icon);
  setIconSize(glyph_.size());
  update();
}

QImage TSpeedButton::GlyphFor(double ratio) const {
  for (const int scale : base::ScalesToTry(ratio)) {
    if (scale == 1) return glyph_;
    if (const auto it = scaled_.find(scale); it != scaled_.end()) return it->second;
  }
  return glyph_;
}

QPoint TSpeedButton::GlyphOrigin() const {
  // Rounded down, as the glyph's drawing expects of a glyph larger than
  // the button: its visible part then lies wholly on the button.
  const auto half = [](int d) { return d >= 0 ? d / 2 : -((1 - d) / 2); };
  return QPoint(half(width() - glyph_.width()), half(height() - glyph_.height()));
}

void TSpeedButton::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  option.icon = QIcon();
  option.text.clear();
  p.drawComplexControl(QStyle::CC_ToolButton, option);
  if (glyph_.isNull()) return;
  p.setClipRect(rect());
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  // The ratio of what is painted on: the screen, or a picture the button renders into.
  p.drawImage(GlyphOrigin(), GlyphFor(p.paintEngine()->paintDevice()->devicePixelRatioF()));
}

}  // namespace lugatim::widgets
