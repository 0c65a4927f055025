#pragma once
// Decoding of Windows metafiles in this process: WMF through libwmf's SVG
// device, EMF (with its EMF+ records) through libemf2svg, the SVG they
// produce drawn by Qt SVG. The picture has the metafile's own frame at 96
// dots per inch (a placeable WMF's bounding box and units per inch, an EMF's
// frame rectangle), drawn from the top-left corner on a transparent ground.
//
// These libraries are old C code and the bytes come from a network server:
// the program runs this only inside the limited helper process
// (lugatim-metafile); the fuzz targets run it directly. Text needs a
// QGuiApplication to exist.

#include <QImage>
#include <string_view>

namespace lugatim::codecs {

enum class TMetafileKind { kWmf, kEmf };

// The largest picture produced, per side and in pixels overall; a larger
// frame fails rather than making the helper allocate it.
constexpr int kMaxMetafileSide = 4096;
constexpr qint64 kMaxMetafilePixels = 4096LL * 1024;

// Decodes a metafile into a Format_ARGB32 image. Fails with EInvalidGraphic.
QImage RenderMetafile(std::string_view data, TMetafileKind kind);

// The frame size in pixels that RenderMetafile draws for an EMF: its frame
// rectangle (hundredths of a millimetre) at 96 dots per inch. Fails with
// EInvalidGraphic when the data has no EMF header or the frame is empty.
QSize EmfFrameSize(std::string_view data);

}  // namespace lugatim::codecs
