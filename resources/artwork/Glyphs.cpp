// The flag glyphs, the window icon and the initial banner.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

#include "Artwork.h"

namespace artwork {
namespace {

const QColor kGrey(0xc0, 0xc0, 0xc0);  // the glyphs' background, drawn transparent by the button
const QRect kFlagArea(4, 5, 30, 18);   // fits the 35 x 20 button, the glyph centred on it

QImage GlyphCanvas(int scale) {
  QImage image(38 * scale, 27 * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(kGrey);
  return image;
}

QPolygonF Star(QPointF centre, double outer, double inner, double rotation) {
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? outer : inner;
    const double a = rotation + i * M_PI / 5;
    star << QPointF(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
  }
  return star;
}

void FlagEdge(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
  p.drawRect(QRectF(kFlagArea).adjusted(-0.5, -0.5, 0.5, 0.5));
}

}  // namespace

QImage DrawTurkishFlag(int scale) {
  QImage image = GlyphCanvas(scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF f(kFlagArea);
  p.fillRect(f, QColor(0xe3, 0x0a, 0x17));
  const double h = f.height();
  const QPointF c(f.left() + h * 0.5, f.center().y());
  QPainterPath crescent;
  crescent.addEllipse(c, h * 0.25, h * 0.25);
  QPainterPath bite;
  bite.addEllipse(QPointF(c.x() + h * 0.0625, c.y()), h * 0.2, h * 0.2);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(crescent.subtracted(bite));
  p.drawPolygon(Star(QPointF(c.x() + h * 0.333, c.y()), h * 0.125, h * 0.05, M_PI));
  FlagEdge(p);
  return image;
}

QImage DrawBritishFlag(int scale) {
  QImage image = GlyphCanvas(scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF f(kFlagArea);
  p.setClipRect(f);
  p.fillRect(f, QColor(0x01, 0x21, 0x69));
  const QColor red(0xc8, 0x10, 0x2e);
  p.setPen(QPen(Qt::white, 3.6));
  p.drawLine(f.topLeft(), f.bottomRight());
  p.drawLine(f.bottomLeft(), f.topRight());
  p.setPen(QPen(red, 1.2));
  p.drawLine(f.topLeft(), f.bottomRight());
  p.drawLine(f.bottomLeft(), f.topRight());
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(f.center().x() - 3, f.top(), 6, f.height()));
  p.drawRect(QRectF(f.left(), f.center().y() - 3, f.width(), 6));
  p.setBrush(red);
  p.drawRect(QRectF(f.center().x() - 1.8, f.top(), 3.6, f.height()));
  p.drawRect(QRectF(f.left(), f.center().y() - 1.8, f.width(), 3.6));
  p.setClipping(false);
  FlagEdge(p);
  return image;
}

QImage DrawIcon(int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 64.0, size / 64.0);
  QLinearGradient g(0, 0, 0, 64);
  g.setColorAt(0, QColor(0x2f, 0x6f, 0x95));
  g.setColorAt(1, QColor(0x0f, 0x1c, 0x2e));
  p.setBrush(g);
  p.setPen(QPen(QColor(0xe9, 0xb9, 0x4a), 2));
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 13, 13);
  // An open book.
  p.setPen(QPen(QColor(0x0f, 0x1c, 0x2e), 1.5));
  p.setBrush(QColor(0xf4, 0xea, 0xd0));
  QPainterPath left, right;
  left.moveTo(32, 22);
  left.cubicTo(26, 17, 18, 17, 12, 19);
  left.lineTo(12, 46);
  left.cubicTo(18, 44, 26, 44, 32, 49);
  left.closeSubpath();
  right.moveTo(32, 22);
  right.cubicTo(38, 17, 46, 17, 52, 19);
  right.lineTo(52, 46);
  right.cubicTo(46, 44, 38, 44, 32, 49);
  right.closeSubpath();
  p.drawPath(left);
  p.drawPath(right);
  // "A" on one page, "Ş" on the other.
  QFont f("DejaVu Sans");
  f.setBold(true);
  f.setPixelSize(14);
  p.setFont(f);
  p.setPen(QColor(0x1f, 0x4e, 0x6e));
  p.drawText(QRectF(13, 22, 19, 20), Qt::AlignCenter, "A");
  p.setPen(QColor(0xc8, 0x3a, 0x32));
  p.drawText(QRectF(32, 22, 19, 20), Qt::AlignCenter, QString::fromUtf8("Ş"));
  return icon;
}

QImage DrawBanner(int frame, int scale) {
  QImage banner(468 * scale, 60 * scale, QImage::Format_ARGB32_Premultiplied);
  banner.setDevicePixelRatio(scale);
  banner.fill(Qt::transparent);
  QPainter p(&banner);
  p.setRenderHint(QPainter::Antialiasing, false);  // hard edges: one transparent colour
  QLinearGradient g(0, 0, 468, 0);
  g.setColorAt(0, QColor(0xe0, 0x9a, 0x20));
  g.setColorAt(1, QColor(0xff, 0xdc, 0x7a));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(4, 4, 460, 52), 26, 26);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  QFont f("DejaVu Sans");
  f.setBold(true);
  f.setPixelSize(22);
  p.setFont(f);
  p.setPen(QColor(0x0f, 0x1c, 0x2e));
  const char* lines[] = {"Lugatim",
                         "English \xE2\x87\x84 T\xC3\xBCrk\xC3\xA7"
                         "e"};
  p.drawText(QRect(30, 4, 300, 52), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(lines[frame % 2]));
  f.setBold(false);
  f.setPixelSize(13);
  p.setFont(f);
  p.setPen(QColor(0x3a, 0x2a, 0x08));
  p.drawText(QRect(250, 4, 190, 52), Qt::AlignRight | Qt::AlignVCenter,
             QString::fromUtf8("s\xC3\xB6zl\xC3\xBCk \xE2\x80\xA2 dictionary"));
  return banner;
}

}  // namespace artwork
