#pragma once
// JPEG through libjpeg's C API. Every error libjpeg reports becomes an
// EInvalidGraphic carrying libjpeg's own message; libjpeg's default handler,
// which would end the process, is never reached. Warnings (for instance a
// truncated scan) are not errors: the decoder returns what it could read.
// A header declaring more pixels than the image allocation limit of Qt's own
// readers allows (QImageReader::allocationLimit(), 256 MiB unless changed, at
// four bytes a pixel) fails with "JPEG image too large" before anything is
// allocated for them, and libjpeg's working memory stays within that limit.

#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <string_view>

namespace lugatim::codecs {

// Decodes a baseline or progressive JPEG (grey, YCbCr/RGB, CMYK/YCCK) into an
// image of Format_RGB32.
// A maxBytes above 0 lowers the limit on the decoded image to that many bytes.
QImage DecodeJpeg(const void* data, size_t size, size_t maxBytes = 0);
inline QImage DecodeJpeg(std::string_view data) {
  return DecodeJpeg(data.data(), data.size());
}

// Encodes an image as a three-component JPEG of the given quality (1..100).
QByteArray EncodeJpeg(const QImage& image, int quality);

}  // namespace lugatim::codecs
