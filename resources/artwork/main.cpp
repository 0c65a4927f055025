// lugatim-artwork: draws the program's built-in images and writes them into
// a folder (the images/ folder of resources/ when regenerating them):
//   SZLS3MS.bmp        480 x 480 mask, 8 bits per pixel, white cut away
//   DUVADAREVI3.jpg    normal (and pressed) face
//   DUVADAREVI3SEL.jpg face of the hot area under the pointer
//   TURK.bmp, INGI.bmp 38 x 27 flag glyphs, 8 bits per pixel, 1638 bytes
//   ICON.png           64 x 64 window icon
//   BANNER.gif         468 x 60 initial banner with a transparent colour
//   NAME@2X.ext, NAME@3X.ext  each of the above but the icon at two and
//                      three times the pixels (flags with up to 256 colours)
//   hicolor/NxN/apps/lugatim.png  the icon at the icon theme's sizes
//   preview.png        (with --preview) the face under its mask, to look at
// With --demo-banners <folder> it writes the demo update server's banners instead.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

#include "Artwork.h"
#include "codecs/Bmp.h"
#include "codecs/GifEncoder.h"
#include "codecs/Jpeg.h"

namespace {

bool Write(const QDir& dir, const QString& name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    return false;
  }
  std::printf("%s (%lld bytes)\n", qPrintable(file.fileName()),
              static_cast<long long>(bytes.size()));
  return true;
}

// A flag glyph; at 1x a 1638-byte file: 126 colours in the table.
QByteArray Glyph(const QImage& image, int scale) {
  const int colours = scale == 1 ? 126 : 256;
  QImage indexed = lugatim::codecs::ToIndexed8(image, nullptr, colours);
  QVector<QRgb> table = indexed.colorTable();
  while (table.size() < colours) table.push_back(qRgb(0xc0, 0xc0, 0xc0));
  indexed.setColorTable(table);
  return lugatim::codecs::EncodeBmp(indexed, 8);
}

QByteArray Mask(const QImage& mask) {
  QImage indexed(mask.size(), QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      indexed.setPixel(x, y, mask.pixel(x, y) == qRgb(255, 255, 255) ? 1u : 0u);
  return lugatim::codecs::EncodeBmp(indexed, 8);
}

QByteArray Banner(int scale) {
  int transparent = -1;
  lugatim::codecs::TGifEncodeFrame frame;
  frame.image = lugatim::codecs::ToIndexed8(artwork::DrawBanner(0, scale), &transparent);
  frame.transparentIndex = transparent;
  return lugatim::codecs::EncodeGif({frame}, {});
}

QImage Preview(const QImage& mask, const QImage& face) {
  QImage out(face.size(), QImage::Format_RGB32);
  out.fill(QColor(0x80, 0x90, 0x80));
  for (int y = 0; y < face.height(); ++y)
    for (int x = 0; x < face.width(); ++x)
      if (mask.pixel(x, y) != qRgb(255, 255, 255)) out.setPixel(x, y, face.pixel(x, y));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: lugatim-artwork <output folder> [--preview] | --demo-banners <folder>\n");
    return 2;
  }
  if (args[1] == "--demo-banners") {
    // lugatim-artwork --demo-banners <folder>: the demo update server's banners.
    return args.size() > 2 && artwork::WriteDemoBanners(args[2]) ? 0 : 1;
  }
  QDir dir(args[1]);
  if (!dir.mkpath(".")) return 1;
  bool ok = true;
  for (const int scale : artwork::kScales) {
    const auto name = [scale](const char* file) {
      return artwork::ScaledName(QString::fromLatin1(file), scale);
    };
    ok = Write(dir, name("SZLS3MS.bmp"), Mask(artwork::DrawMask(scale))) && ok;
    ok = Write(dir, name("DUVADAREVI3.jpg"),
               lugatim::codecs::EncodeJpeg(artwork::DrawFace(false, scale), 92)) &&
         ok;
    ok = Write(dir, name("DUVADAREVI3SEL.jpg"),
               lugatim::codecs::EncodeJpeg(artwork::DrawFace(true, scale), 92)) &&
         ok;
    ok = Write(dir, name("TURK.bmp"), Glyph(artwork::DrawTurkishFlag(scale), scale)) && ok;
    ok = Write(dir, name("INGI.bmp"), Glyph(artwork::DrawBritishFlag(scale), scale)) && ok;
    ok = Write(dir, name("BANNER.gif"), Banner(scale)) && ok;
  }
  QImage icon = artwork::DrawIcon(64);
  ok = icon.save(dir.filePath("ICON.png"), "PNG") && ok;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
    ok = dir.mkpath(folder) &&
         artwork::DrawIcon(size).save(dir.filePath(folder + "/lugatim.png"), "PNG") && ok;
  }
  if (args.contains("--preview")) {
    const QImage mask = artwork::DrawMask();
    const QImage face = artwork::DrawFace(false);
    const QImage hover = artwork::DrawFace(true);
    Preview(mask, face).save(dir.filePath("preview.png"));
    Preview(mask, hover).save(dir.filePath("preview-hover.png"));
    artwork::DrawTurkishFlag().scaled(152, 108).save(dir.filePath("preview-turk.png"));
    artwork::DrawBritishFlag().scaled(152, 108).save(dir.filePath("preview-ingi.png"));
    artwork::DrawBanner(0).save(dir.filePath("preview-banner.png"));
    const QImage mask2 = artwork::DrawMask(2);
    Preview(mask2, artwork::DrawFace(false, 2)).save(dir.filePath("preview@2x.png"));
    icon.save(dir.filePath("preview-icon.png"));
  }
  return ok ? 0 : 1;
}
