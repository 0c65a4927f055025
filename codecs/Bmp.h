#pragma once
// Windows bitmap files ("BM" file header, then a core, info, V4 or V5 header).
// Decoded: 1, 4 and 8 bits per pixel with a colour table, 16 bits (5-5-5 or
// bit fields), 24 bits, 32 bits (plain or bit fields), rows bottom-up or
// top-down. Every inconsistency of the headers or a short pixel area fails
// with EInvalidGraphic "Bitmap image is not valid (<reason>)".

#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <string_view>

namespace lugatim::codecs {

// Format_RGB32, or Format_ARGB32 when a V4/V5 header declares an alpha mask.
// A maxBytes above 0 refuses, before allocating it, an image of more bytes
// (four a pixel) with "image too large".
QImage DecodeBmp(const void* data, size_t size, size_t maxBytes = 0);
inline QImage DecodeBmp(std::string_view data) {
  return DecodeBmp(data.data(), data.size());
}

// The bitmap as drawn transparently: every pixel of the bottom-left pixel's
// colour becomes fully transparent (Format_ARGB32). A null image stays null.
QImage TransparentByBottomLeft(const QImage& image);

// Writes a bottom-up BMP file with a 40-byte info header. bitsPerPixel 8
// takes a Format_Indexed8 image and writes exactly its colour table (so the
// file size follows the colour count); 24 writes the pixels without a table.
QByteArray EncodeBmp(const QImage& image, int bitsPerPixel);

}  // namespace lugatim::codecs
