#include "codecs/Jpeg.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <QImageReader>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codecs/CodecError.h"

namespace lugatim::codecs {
namespace {

// libjpeg reports a fatal error through error_exit, which must not return.
// Ours jumps back to the setjmp of the step that called into libjpeg; the
// step then returns false and the C++ caller throws. No C++ object lives in a
// frame that longjmp crosses: the steps below hold only C structures.
struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  longjmp(err->jump, 1);
}

// Warnings and trace messages go nowhere; libjpeg would print them to stderr.
void OutputMessage(j_common_ptr) {}

void InstallErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = OutputMessage;
  err.message[0] = '\0';
}

struct Decoder {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  bool created = false;
  bool cmyk = false;
};

bool ReadHeader(Decoder* d, const unsigned char* data, unsigned long size, size_t memoryLimit) {
  if (setjmp(d->err.jump)) return false;
  jpeg_create_decompress(&d->cinfo);
  d->created = true;
  // libjpeg's own buffers (the whole-image coefficients of a progressive
  // file) stay within the limit too; beyond it libjpeg fails.
  if (memoryLimit > 0) d->cinfo.mem->max_memory_to_use = static_cast<long>(memoryLimit);
  jpeg_mem_src(&d->cinfo, data, size);
  jpeg_read_header(&d->cinfo, TRUE);
  d->cmyk = d->cinfo.jpeg_color_space == JCS_CMYK || d->cinfo.jpeg_color_space == JCS_YCCK;
  d->cinfo.out_color_space = d->cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  return true;
}

bool StartDecompress(Decoder* d) {
  if (setjmp(d->err.jump)) return false;
  jpeg_start_decompress(&d->cinfo);
  return true;
}

// The bytes an image may take: the allocation limit Qt's own image readers
// (GIF, ICO) apply, so that every codec refuses the same sizes; 0 is none.
size_t MemoryLimit() {
  return static_cast<size_t>(QImageReader::allocationLimit()) * 1024 * 1024;
}

// Writes every scanline into rows of bytesPerLine bytes starting at bits.
bool ReadPixels(Decoder* d, unsigned char* bits, size_t bytesPerLine) {
  if (setjmp(d->err.jump)) return false;
  while (d->cinfo.output_scanline < d->cinfo.output_height) {
    JSAMPROW row = bits + bytesPerLine * d->cinfo.output_scanline;
    jpeg_read_scanlines(&d->cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d->cinfo);
  return true;
}

void DestroyDecoder(Decoder& d) {
  if (d.created) jpeg_destroy_decompress(&d.cinfo);
  d.created = false;
}

// Adobe writes CMYK JPEGs inverted; libjpeg hands the bytes through as stored.
void CmykToRgb32(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
    const auto* src = reinterpret_cast<const unsigned char*>(px);
    for (int x = 0; x < image.width(); ++x) {
      const unsigned c = src[4 * x], m = src[4 * x + 1], yy = src[4 * x + 2], k = src[4 * x + 3];
      px[x] = qRgb(static_cast<int>(c * k / 255), static_cast<int>(m * k / 255),
                   static_cast<int>(yy * k / 255));
    }
  }
}

struct Encoder {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  bool created = false;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
};

bool Compress(Encoder* e, const QImage* rgb, int quality) {
  if (setjmp(e->err.jump)) return false;
  jpeg_create_compress(&e->cinfo);
  e->created = true;
  jpeg_mem_dest(&e->cinfo, &e->out, &e->outSize);
  e->cinfo.image_width = static_cast<JDIMENSION>(rgb->width());
  e->cinfo.image_height = static_cast<JDIMENSION>(rgb->height());
  e->cinfo.input_components = 4;
  e->cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&e->cinfo);
  jpeg_set_quality(&e->cinfo, quality, TRUE);
  jpeg_start_compress(&e->cinfo, TRUE);
  while (e->cinfo.next_scanline < e->cinfo.image_height) {
    JSAMPROW row =
        const_cast<unsigned char*>(rgb->constScanLine(static_cast<int>(e->cinfo.next_scanline)));
    jpeg_write_scanlines(&e->cinfo, &row, 1);
  }
  jpeg_finish_compress(&e->cinfo);
  return true;
}

}  // namespace

QImage DecodeJpeg(const void* data, size_t size, size_t maxBytes) {
  if (size == 0) throw EInvalidGraphic("Empty JPEG image");
  Decoder d;
  d.cinfo.err = nullptr;
  InstallErrorManager(d.err);
  d.cinfo.err = &d.err.pub;
  const size_t qtLimit = MemoryLimit();
  const size_t limit = maxBytes > 0 && (qtLimit == 0 || maxBytes < qtLimit) ? maxBytes : qtLimit;
  if (!ReadHeader(&d, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size),
                  limit)) {
    DestroyDecoder(d);
    throw EInvalidGraphic(d.err.message);
  }
  // The header alone may declare up to 65500 x 65500 pixels (16 GiB): the
  // size is checked before anything is allocated for it.
  const uint64_t bytes = uint64_t{d.cinfo.image_width} * d.cinfo.image_height * 4;
  if (limit > 0 && bytes > limit) {
    DestroyDecoder(d);
    throw EInvalidGraphic("JPEG image too large");
  }
  if (!StartDecompress(&d)) {
    DestroyDecoder(d);
    throw EInvalidGraphic(d.err.message);
  }
  QImage image(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height),
               QImage::Format_RGB32);
  if (image.isNull()) {
    DestroyDecoder(d);
    throw EInvalidGraphic("JPEG image too large");
  }
  if (!ReadPixels(&d, image.bits(), static_cast<size_t>(image.bytesPerLine()))) {
    DestroyDecoder(d);
    throw EInvalidGraphic(d.err.message);
  }
  DestroyDecoder(d);
  if (d.cmyk) CmykToRgb32(image);
  return image;
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
  if (image.isNull()) throw EInvalidGraphic("Cannot encode an empty image as JPEG");
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  Encoder e;
  InstallErrorManager(e.err);
  e.cinfo.err = &e.err.pub;
  const bool ok = Compress(&e, &rgb, quality);
  if (e.created) jpeg_destroy_compress(&e.cinfo);
  QByteArray bytes;
  if (ok)
    bytes = QByteArray(reinterpret_cast<const char*>(e.out), static_cast<qsizetype>(e.outSize));
  std::free(e.out);
  if (!ok) throw EInvalidGraphic(e.err.message);
  return bytes;
}

}  // namespace lugatim::codecs
