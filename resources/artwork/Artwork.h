#pragma once
// The drawings of the program's artwork.

#include <QImage>
#include <QPainterPath>

namespace artwork {

// The window outline: what the mask keeps.
QPainterPath Outline();

QImage DrawMask();             // black kept, white cut away
QImage DrawFace(bool hover);   // normal face, or the face of areas under the pointer
QImage DrawTurkishFlag();      // 38 x 27 glyph on grey
QImage DrawBritishFlag();      // 38 x 27 glyph on grey
QImage DrawIcon(int size);     // window icon
QImage DrawBanner(int frame);  // 468 x 60, transparent outside its pill

// Writes the demo channel's banners (kelime.gif animated, sozluk.jpg, kitap.bmp,
// and the metafile banners below).
bool WriteDemoBanners(const QString& folder);

// Writes the demo channel's metafile banners (soz.wmf, atolye.emf).
bool WriteMetafileBanners(const QString& folder);

}  // namespace artwork
