#include "codecs/Bmp.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/CodecError.h"

namespace lugatim::codecs {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;
constexpr int64_t kMaxPixels = int64_t{1} << 28;

[[noreturn]] void Invalid(const char* reason) {
  throw EInvalidGraphic(base::Format("Bitmap image is not valid (%s)", reason));
}

uint16_t U16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One channel described by a bit mask, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1u) == 0) ++shift;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
  }
  int Value(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    return static_cast<int>((static_cast<uint64_t>(v) * 255u + max / 2) / max);
  }
};

void Put16(QByteArray& out, uint16_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}
void Put32(QByteArray& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

QImage DecodeBmp(const void* data, size_t size, size_t maxBytes) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (size < 14 + 12) Invalid("file too short");
  if (bytes[0] != 'B' || bytes[1] != 'M') Invalid("no BM signature");
  const uint32_t pixelOffset = U32(bytes + 10);
  const unsigned char* dib = bytes + 14;
  const uint32_t headerSize = U32(dib);
  if (headerSize != 12 && headerSize < 40) Invalid("unknown header size");
  if (headerSize > size - 14) Invalid("header beyond the end of the file");

  int64_t width = 0, height = 0;
  int bpp = 0;
  uint32_t compression = kBiRgb, colorsUsed = 0;
  int planes = 1;
  if (headerSize == 12) {
    width = U16(dib + 4);
    height = static_cast<int16_t>(U16(dib + 6));
    planes = U16(dib + 8);
    bpp = U16(dib + 10);
  } else {
    width = static_cast<int32_t>(U32(dib + 4));
    height = static_cast<int32_t>(U32(dib + 8));
    planes = U16(dib + 12);
    bpp = U16(dib + 14);
    compression = U32(dib + 16);
    colorsUsed = U32(dib + 32);
  }
  if (planes != 1) Invalid("plane count is not 1");
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) Invalid("empty or negative size");
  if (width * height > kMaxPixels) Invalid("image too large");
  if (maxBytes > 0 && static_cast<uint64_t>(width * height) * 4 > maxBytes)
    Invalid("image too large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    Invalid("unsupported bits per pixel");

  // Bit masks: from the V4/V5 header, or the three (four) words after a
  // 40-byte header, or the defaults of plain RGB data.
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t tableStart = 14 + headerSize;
  const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
  if (compression != kBiRgb && !bitfields) Invalid("unsupported compression");
  if (bitfields) {
    if (bpp != 16 && bpp != 32) Invalid("bit fields need 16 or 32 bits per pixel");
    if (headerSize >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = U32(dib + 40 + 4 * i);
      if (headerSize >= 56) masks[3] = U32(dib + 52);
    } else {
      const int count = compression == kBiAlphaBitfields ? 4 : 3;
      if (tableStart + 4u * count > size) Invalid("bit masks beyond the end of the file");
      for (int i = 0; i < count; ++i) masks[i] = U32(bytes + tableStart + 4 * i);
      tableStart += 4u * count;
    }
  } else if (bpp == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (bpp >= 24) {
    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }

  std::vector<QRgb> palette;
  if (bpp <= 8) {
    const uint32_t maxColors = 1u << bpp;
    const uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
    if (count > maxColors) Invalid("colour table larger than the pixel depth allows");
    const size_t entry = headerSize == 12 ? 3 : 4;
    if (tableStart + entry * count > size) Invalid("colour table beyond the end of the file");
    for (uint32_t i = 0; i < count; ++i) {
      const unsigned char* e = bytes + tableStart + entry * i;
      palette.push_back(qRgb(e[2], e[1], e[0]));
    }
  }

  const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
  if (pixelOffset < 14 + headerSize || pixelOffset > size)
    Invalid("pixel data offset out of range");
  if (stride * static_cast<size_t>(height) > size - pixelOffset) Invalid("pixel data too short");

  const bool alpha = masks[3] != 0;
  QImage image(static_cast<int>(width), static_cast<int>(height),
               alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) Invalid("image too large");
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alphaChannel(masks[3]);
  const QRgb black = qRgb(0, 0, 0);
  for (int64_t row = 0; row < height; ++row) {
    const unsigned char* src = bytes + pixelOffset + stride * static_cast<size_t>(row);
    auto* dst =
        reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(topDown ? row : height - 1 - row)));
    for (int64_t x = 0; x < width; ++x) {
      if (bpp <= 8) {
        const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bpp);
        const unsigned index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1u);
        dst[x] = index < palette.size() ? palette[index] : black;
        continue;
      }
      uint32_t pixel = 0;
      if (bpp == 16)
        pixel = U16(src + 2 * x);
      else if (bpp == 24)
        pixel = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
      else
        pixel = U32(src + 4 * x);
      const int a = alpha ? alphaChannel.Value(pixel) : 255;
      dst[x] = qRgba(red.Value(pixel), green.Value(pixel), blue.Value(pixel), a);
    }
  }
  return image;
}

QImage TransparentByBottomLeft(const QImage& image) {
  if (image.isNull()) return image;
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = out.pixel(0, out.height() - 1) & 0x00FFFFFFu;
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if ((row[x] & 0x00FFFFFFu) == key) row[x] = 0;
    }
  }
  return out;
}

QByteArray EncodeBmp(const QImage& image, int bitsPerPixel) {
  if (image.isNull()) throw EInvalidGraphic("Cannot encode an empty image as a bitmap");
  if (bitsPerPixel != 8 && bitsPerPixel != 24)
    throw EInvalidGraphic("Bitmaps are written with 8 or 24 bits per pixel");
  if (bitsPerPixel == 8 && image.format() != QImage::Format_Indexed8)
    throw EInvalidGraphic("An 8-bit bitmap needs an indexed image");
  const QImage rgb = bitsPerPixel == 24 ? image.convertToFormat(QImage::Format_RGB32) : image;
  const auto width = static_cast<uint32_t>(image.width());
  const auto height = static_cast<uint32_t>(image.height());
  const uint32_t stride = ((width * static_cast<uint32_t>(bitsPerPixel) + 31) / 32) * 4;
  const auto colors = bitsPerPixel == 8 ? static_cast<uint32_t>(image.colorCount()) : 0u;
  const uint32_t offset = 14 + 40 + 4 * colors;
  QByteArray out;
  out.append("BM", 2);
  Put32(out, offset + stride * height);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bitsPerPixel));
  Put32(out, kBiRgb);
  Put32(out, stride * height);
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, colors);
  Put32(out, 0);
  for (uint32_t i = 0; i < colors; ++i) {
    const QRgb c = image.color(static_cast<int>(i));
    out.append(static_cast<char>(qBlue(c)));
    out.append(static_cast<char>(qGreen(c)));
    out.append(static_cast<char>(qRed(c)));
    out.append('\0');
  }
  for (uint32_t row = 0; row < height; ++row) {
    const int y = static_cast<int>(height - 1 - row);
    QByteArray line(static_cast<qsizetype>(stride), '\0');
    if (bitsPerPixel == 8) {
      std::memcpy(line.data(), rgb.constScanLine(y), width);
    } else {
      const auto* px = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      for (uint32_t x = 0; x < width; ++x) {
        line[3 * x] = static_cast<char>(qBlue(px[x]));
        line[3 * x + 1] = static_cast<char>(qGreen(px[x]));
        line[3 * x + 2] = static_cast<char>(qRed(px[x]));
      }
    }
    out.append(line);
  }
  return out;
}

}  // namespace lugatim::codecs
