#pragma once
// The one check both metafile fuzz targets make: the decoding the helper
// process runs (RenderMetafile), run here in-process on the input. A failure
// is an EInvalidGraphic with a message (or, as the helper reports it, an
// allocation failure); a success is an ARGB32 picture within the size limits.
// Anything else leaves the entry point, which libFuzzer reports.

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

#include "codecs/CodecError.h"
#include "codecs/metafile/MetafileRender.h"

namespace lugatim::fuzz {

// Larger inputs only slow the search down (some records cost time in
// proportion to the records before them).
constexpr size_t kMaxMetafileInput = 64 * 1024;

inline void FuzzMetafile(const uint8_t* data, size_t size, codecs::TMetafileKind kind) {
  // Text in the SVG needs a font database, which needs an application.
  static int argc = 1;
  static char name[] = "metafile_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
  if (size > kMaxMetafileInput) return;
  QImage image;
  try {
    image =
        codecs::RenderMetafile(std::string_view(reinterpret_cast<const char*>(data), size), kind);
  } catch (const codecs::EInvalidGraphic& e) {
    if (e.Message().empty()) {
      std::fprintf(stderr, "a failure without a message\n");
      std::abort();
    }
    return;
  } catch (const std::bad_alloc&) {
    return;
  }
  if (image.isNull() || image.format() != QImage::Format_ARGB32 ||
      image.width() > codecs::kMaxMetafileSide || image.height() > codecs::kMaxMetafileSide ||
      static_cast<qint64>(image.width()) * image.height() > codecs::kMaxMetafilePixels) {
    std::fprintf(stderr, "a picture outside the limits reported as success: %d x %d\n",
                 image.width(), image.height());
    std::abort();
  }
}

}  // namespace lugatim::fuzz
