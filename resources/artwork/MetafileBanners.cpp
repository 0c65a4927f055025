// Sample metafile banners for the demo update server, 468 x 60 like the
// banner area: a WMF and an EMF, written by the program's own metafile
// writers. Both leave a margin transparent, so the banner area's background
// shows through where they draw nothing.

#include <QDir>
#include <QFile>
#include <cmath>

#include "Artwork.h"
#include "codecs/MetafileWriter.h"

namespace artwork {

namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// A five-pointed star around (cx, cy).
std::vector<QPoint> Star(int cx, int cy, int outer, int inner) {
  std::vector<QPoint> points;
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const int r = i % 2 == 0 ? outer : inner;
    points.emplace_back(cx + static_cast<int>(std::lround(r * std::cos(angle))),
                        cy + static_cast<int>(std::lround(r * std::sin(angle))));
  }
  return points;
}

// The WMF: a band shaded in vertical strips with a slanted end, a star and
// two lines of text. It keeps to what libwmf's bitmap device draws well:
// rectangles, polygons and ASCII text.
QByteArray WmfBanner() {
  lugatim::codecs::TWmfWriter w(468, 60);
  const QColor from(0x0f, 0x4c, 0x5c), to(0x2a, 0x7f, 0x62);
  constexpr int kStrips = 36;
  for (int i = 0; i < kStrips; ++i)
    w.FillRect(QRect(4 + i * 12, 4, 12, 52), Mix(from, to, i / double(kStrips - 1)));
  w.FillPolygon({{436, 4}, {464, 4}, {448, 56}, {436, 56}}, to);
  w.FillPolygon(Star(36, 30, 19, 8), QColor(0xff, 0xd2, 0x4a));
  w.Text(QPoint(66, 30), QString::fromUtf8("Kelime oyunu"), 20, true, "Arial", Qt::white);
  w.Text(QPoint(66, 48), QString::fromUtf8("Her sabah yeni bir kelime - lugatim.org"), 12, false,
         "Arial", QColor(0xe0, 0xf0, 0xe8));
  return w.Finish();
}

// The EMF: a rounded card, dots of colour and two lines of text.
QByteArray EmfBanner() {
  lugatim::codecs::TEmfWriter e(468, 60);
  e.FillRoundRect(QRect(2, 2, 464, 56), 14, QColor(0x6a, 0x2c, 0x70));
  e.FillRoundRect(QRect(300, 2, 166, 56), 14, QColor(0xb8, 0x3b, 0x5e));
  e.FillRect(QRect(300, 2, 20, 56), QColor(0xb8, 0x3b, 0x5e));
  const QColor dots[] = {QColor(0xf0, 0x8a, 0x5d), QColor(0xf9, 0xed, 0x69),
                         QColor(0xff, 0xff, 0xff)};
  for (int i = 0; i < 3; ++i) e.FillEllipse(QRect(18 + i * 16, 22, 14, 14), dots[i]);
  e.Text(QPoint(80, 30), QString::fromUtf8("Çeviri atölyesi"), 20, true, "DejaVu Sans", Qt::white);
  e.Text(QPoint(80, 48), QString::fromUtf8("İngilizce–Türkçe, her perşembe"), 12, false,
         "DejaVu Sans", QColor(0xf3, 0xe0, 0xf0));
  e.Text(QPoint(330, 36), QString::fromUtf8("Katılın!"), 16, true, "DejaVu Sans",
         QColor(0xf9, 0xed, 0x69));
  return e.Finish();
}

}  // namespace

bool WriteMetafileBanners(const QString& folder) {
  QDir dir(folder);
  if (!dir.mkpath(".")) return false;
  const bool wmf = WriteFile(dir, "soz.wmf", WmfBanner());
  const bool emf = WriteFile(dir, "atolye.emf", EmfBanner());
  return wmf && emf;
}

}  // namespace artwork
