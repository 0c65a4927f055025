// Sample banners for the demo update server: an animated GIF, a JPEG and a
// bitmap, each 468 x 60 like the banner area.

#include <QDir>
#include <QFile>
#include <QPainter>
#include <cmath>

#include "Artwork.h"
#include "codecs/Bmp.h"
#include "codecs/GifEncoder.h"
#include "codecs/Jpeg.h"

namespace artwork {

namespace {

QImage Card(const QColor& from, const QColor& to, const QString& title, const QString& line) {
  QImage banner(468, 60, QImage::Format_RGB32);
  QPainter p(&banner);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient g(0, 0, 468, 60);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  p.fillRect(banner.rect(), g);
  QFont f("DejaVu Sans");
  f.setBold(true);
  f.setPixelSize(22);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(18, 0, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, title);
  f.setBold(false);
  f.setPixelSize(13);
  p.setFont(f);
  p.drawText(QRect(200, 0, 250, 60), Qt::AlignRight | Qt::AlignVCenter, line);
  return banner;
}

// One frame of the animated banner: a light band sweeps across the card.
QImage AnimatedFrame(int frame, int frames) {
  QImage banner =
      Card(QColor(0x1d, 0x5c, 0x8c), QColor(0x2f, 0x9e, 0x8f), QString::fromUtf8("Türkçe öğrenin!"),
           QString::fromUtf8("Her gün bir kelime \xE2\x80\xA2 lugatim.org"));
  QPainter p(&banner);
  const double x = -80 + (468 + 160) * frame / static_cast<double>(frames);
  QLinearGradient shine(x - 40, 0, x + 40, 0);
  shine.setColorAt(0, QColor(255, 255, 255, 0));
  shine.setColorAt(0.5, QColor(255, 255, 255, 90));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.fillRect(banner.rect(), shine);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0xd2, 0x4a));
  const double r = 5 + 3 * std::sin(frame * 6.2832 / frames);
  p.drawEllipse(QPointF(440, 12), r, r);
  return banner;
}

}  // namespace

bool WriteDemoBanners(const QString& folder) {
  QDir dir(folder);
  if (!dir.mkpath(".")) return false;
  constexpr int kFrames = 12;
  std::vector<lugatim::codecs::TGifEncodeFrame> frames;
  for (int i = 0; i < kFrames; ++i) {
    lugatim::codecs::TGifEncodeFrame frame;
    frame.image = lugatim::codecs::ToIndexed8(AnimatedFrame(i, kFrames), nullptr);
    frame.delayMs = 100;
    frames.push_back(frame);
  }
  bool ok = WriteFile(dir, "kelime.gif", lugatim::codecs::EncodeGif(frames, {}));
  ok =
      WriteFile(dir, "sozluk.jpg",
                lugatim::codecs::EncodeJpeg(Card(QColor(0x8c, 0x1d, 0x3a), QColor(0xd8, 0x6a, 0x2c),
                                                 QString::fromUtf8("Lugatim Pro"),
                                                 QString::fromUtf8("100.000 kelime, çevrimdışı")),
                                            90)) &&
      ok;
  QImage bmp =
      Card(QColor(0x2c, 0x2c, 0x54), QColor(0x5a, 0x4a, 0x9c), QString::fromUtf8("Kitap kulübü"),
           QString::fromUtf8("Ayın kitabı: Tutunamayanlar"));
  ok = WriteFile(dir, "kitap.bmp", lugatim::codecs::EncodeBmp(bmp, 24)) && ok;
  ok = WriteMetafileBanners(folder) && ok;
  return ok;
}

}  // namespace artwork
