#pragma once
// The drawings of the program's artwork.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainterPath>
#include <QString>

namespace artwork {

// The window outline: what the mask keeps.
QPainterPath Outline();

// Every drawing but the icon comes at a scale: 1 is the image the program
// has always had, 2 and 3 the same drawing with two and three times the
// pixels in each direction, for screens of that device pixel ratio. The
// drawings are made in the 1x coordinates; a scale only adds detail.
constexpr int kScales[] = {1, 2, 3};

QImage DrawMask(int scale = 1);               // black kept, white cut away
QImage DrawFace(bool hover, int scale = 1);   // normal face, or the face of areas under the pointer
QImage DrawTurkishFlag(int scale = 1);        // 38 x 27 glyph on grey
QImage DrawBritishFlag(int scale = 1);        // 38 x 27 glyph on grey
QImage DrawIcon(int size);                    // window icon, size x size pixels
QImage DrawBanner(int frame, int scale = 1);  // 468 x 60, transparent outside its pill

// The name of a drawing's file at a scale: "DUVADAREVI3.jpg" at 2 is
// "DUVADAREVI3@2X.jpg"; at 1 the name itself.
inline QString ScaledName(const QString& name, int scale) {
  if (scale == 1) return name;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return name.left(dot) + QStringLiteral("@%1X").arg(scale) + name.mid(dot);
}

// Writes the bytes as the file of that name in the folder; false on failure.
inline bool WriteFile(const QDir& dir, const QString& name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes the demo channel's banners (kelime.gif animated, sozluk.jpg, kitap.bmp,
// and the metafile banners below).
bool WriteDemoBanners(const QString& folder);

// Writes the demo channel's metafile banners (soz.wmf, atolye.emf).
bool WriteMetafileBanners(const QString& folder);

}  // namespace artwork
