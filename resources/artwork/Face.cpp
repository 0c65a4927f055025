// The window's outline and its two faces.

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "Artwork.h"
#include "Layout.h"

namespace artwork {
namespace {

const QColor kInk(0x0f, 0x1c, 0x2e);
const QColor kDeep(0x16, 0x2a, 0x45);
const QColor kSea(0x1f, 0x4e, 0x6e);
const QColor kGold(0xe9, 0xb9, 0x4a);
const QColor kCream(0xf4, 0xea, 0xd0);

QFont Font(int pixelSize, bool bold) {
  QFont f("DejaVu Sans");
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

// A canvas of the window's size at a scale; painters on it draw in 1x coordinates.
QImage ScaledCanvas(int scale, QImage::Format format) {
  QImage image(kSize * scale, kSize * scale, format);
  image.setDevicePixelRatio(scale);
  return image;
}

// A box sunk into the face, for an edit, a memo or the grid to sit in.
// bottom: how far the box reaches below the control.
void Well(QPainter& p, const QRect& control, int bottom = 3) {
  const QRect outer = control.adjusted(-3, -3, 3, bottom);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawRoundedRect(outer, 5, 5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  p.drawRoundedRect(QRectF(outer).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  p.setPen(QPen(QColor(0, 0, 0, 120), 1));
  p.drawLine(outer.left() + 4, outer.top() + 1, outer.right() - 4, outer.top() + 1);
  p.fillRect(control, QColor(250, 248, 240));
}

void Band(QPainter& p, const QRect& r, const QString& text, bool lit) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  if (lit) {
    g.setColorAt(0, QColor(0xff, 0xdc, 0x7a));
    g.setColorAt(1, QColor(0xe0, 0x9a, 0x20));
  } else {
    g.setColorAt(0, QColor(0x2f, 0x6f, 0x95));
    g.setColorAt(1, QColor(0x1a, 0x43, 0x62));
  }
  p.setPen(QPen(lit ? QColor(0xff, 0xf1, 0xc0) : QColor(0x5d, 0x9c, 0xc4), 1));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
  p.setFont(Font(11, true));
  p.setPen(lit ? kInk : kCream);
  p.drawText(r, Qt::AlignCenter, text);
}

void CircleButton(QPainter& p, QPointF centre, bool close, bool lit) {
  const double r = kButtonFace;
  const QColor base = close ? QColor(0xc8, 0x3a, 0x32) : QColor(0x2f, 0x7d, 0xb0);
  const QColor glow = close ? QColor(0xff, 0x6b, 0x5e) : QColor(0x6c, 0xc4, 0xff);
  if (lit) {
    QRadialGradient halo(centre, r + 2);
    halo.setColorAt(0.6, glow);
    halo.setColorAt(1, QColor(glow.red(), glow.green(), glow.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, r + 2, r + 2);
  }
  QRadialGradient g(centre - QPointF(2.5, 3.5), r * 1.6);
  g.setColorAt(0, lit ? glow.lighter(120) : base.lighter(140));
  g.setColorAt(1, lit ? glow.darker(120) : base.darker(130));
  p.setBrush(g);
  p.setPen(QPen(QColor(255, 255, 255, 150), 1));
  p.drawEllipse(centre, r - 0.5, r - 0.5);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
  const double a = r * 0.36;
  if (close) {
    p.drawLine(centre + QPointF(-a, -a), centre + QPointF(a, a));
    p.drawLine(centre + QPointF(-a, a), centre + QPointF(a, -a));
  } else {
    p.drawLine(centre + QPointF(-a - 1, 0), centre + QPointF(a + 1, 0));
  }
}

}  // namespace

QPainterPath Outline() {
  QPainterPath body;
  body.addRoundedRect(QRectF(0, 8, kSize, kSize - 8), 30, 30);
  // A tab under the title bands, rising to the top edge.
  QPainterPath tab;
  tab.addRoundedRect(QRectF(8, 0, 380, 48), 16, 16);
  QPainterPath buttons;
  buttons.addEllipse(QPointF(kKucultCentre), kButtonRadius + 2, kButtonRadius + 2);
  buttons.addEllipse(QPointF(kKapatCentre), kButtonRadius + 2, kButtonRadius + 2);
  // A notch in the bottom edge and a scallop on each side.
  QPainterPath cuts;
  cuts.addEllipse(QPointF(kSize / 2.0, kSize + 6), 70, 22);
  cuts.addEllipse(QPointF(-10, 300), 16, 40);
  QPainterPath shape = body.united(tab).united(buttons).subtracted(cuts);
  // Between the title tab and the buttons the top edge dips.
  QPainterPath dip;
  dip.addRoundedRect(QRectF(396, -20, 20, 34), 8, 8);
  return shape.subtracted(dip).simplified();
}

QImage DrawMask(int scale) {
  QImage mask = ScaledCanvas(scale, QImage::Format_RGB32);
  mask.fill(Qt::white);
  QPainter p(&mask);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPath(Outline());
  return mask;
}

QImage DrawFace(bool hover, int scale) {
  QImage face = ScaledCanvas(scale, QImage::Format_RGB32);
  face.fill(kInk);
  QPainter p(&face);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  const QPainterPath outline = Outline();

  QLinearGradient sky(0, 0, 0, kSize);
  sky.setColorAt(0, kSea);
  sky.setColorAt(0.45, kDeep);
  sky.setColorAt(1, kInk);
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawPath(outline);

  // Faint diagonal lines give the body a texture.
  p.save();
  p.setClipPath(outline);
  p.setPen(QPen(QColor(255, 255, 255, 10), 1));
  for (int d = -kSize; d < kSize; d += 9) p.drawLine(d, kSize, d + kSize, 0);
  // A soft light from the top left.
  QRadialGradient light(QPointF(80, 40), 320);
  light.setColorAt(0, QColor(255, 255, 255, 40));
  light.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(light);
  p.drawRect(0, 0, kSize, kSize);
  p.restore();

  // Title bands, the flag slot and the window buttons.
  Band(p, kTercume, QString::fromUtf8("TARVEL ÇEVİRİ"), hover);
  Band(p, kSozluk, QString::fromUtf8("TARVEL SÖZLÜK"), hover);
  p.setPen(QPen(QColor(255, 255, 255, 60), 1));
  p.setBrush(QColor(0, 0, 0, 110));
  p.drawRoundedRect(kFlagBox, 4, 4);
  CircleButton(p, kKucultButton, false, hover);
  CircleButton(p, kKapatButton, true, hover);

  // A rule under the search row and a panel behind the entry's fields.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 14));
  p.drawRoundedRect(QRect(18, 188, 444, 170).adjusted(0, 0, 0, -8), 12, 12);
  for (const QRect& r : {kSearch, kCombo, kGrid, kWord, kCategory, kAffix, kMeaning}) Well(p, r);
  // The example's box stops at its control: a dark line then parts the
  // control's bottom border from the banner frame's gold.
  Well(p, kExample, 0);

  // The banner's frame, closed on every side: the banner runs to the
  // window's right edge, so the frame's right end lies just inside the rim.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 120));
  p.drawRoundedRect(kBannerFrame, 6, 6);
  p.setPen(QPen(kGold, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(kBannerFrame.adjusted(0.5, 1.5, -0.5, -0.5), 5.5, 5.5);
  // Behind the banner, up to the frame's right line.
  p.fillRect(QRect(kBanner.left(), kBanner.top(), 465, kBanner.height()), QColor(0x0b, 0x14, 0x22));

  // The name of the program in the foot.
  p.setFont(Font(20, true));
  p.setPen(kGold);
  p.drawText(QRect(28, 424, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, "Lugatim");
  p.setFont(Font(11, false));
  p.setPen(QColor(0xc9, 0xd6, 0xe3));
  p.drawText(QRect(28, 450, 260, 16), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("English ⇄ Türkçe sözlük"));
  p.setFont(Font(10, false));
  p.setPen(QColor(0x8f, 0xa8, 0xc0));
  p.drawText(QRect(300, 436, 160, 16), Qt::AlignRight | Qt::AlignVCenter, "F1: Hakkında / About");

  // The rim, last, so that nothing drawn inside breaks it.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kGold, 2));
  p.drawPath(outline);
  return face;
}

}  // namespace artwork
