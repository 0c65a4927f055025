#include "codecs/Gif.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstring>

#include "codecs/CodecError.h"
#include "codecs/NamedFormat.h"

namespace lugatim::codecs {
namespace {

// Qt reports the loop extension's count as -1 for "forever" and 0 when the
// file has none; our numbering follows the file.
int LoopCountFromQt(int qtCount) {
  if (qtCount < 0) return 0;
  if (qtCount == 0) return -1;
  return qtCount;
}

[[noreturn]] void Fail(const QImageReader& reader) {
  throw EInvalidGraphic("GIF image is not valid (" + reader.errorString().toStdString() + ")");
}

bool IsGif(const void* data, size_t size) {
  return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

}  // namespace

TGifAnimation DecodeGif(const void* data, size_t size) {
  if (!IsGif(data, size)) throw EInvalidGraphic("GIF image is not valid (no GIF signature)");
  const QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "gif");
  ReadByFormatOnly(reader);
  TGifAnimation animation;
  while (true) {
    QImage frame;
    if (!reader.read(&frame)) {
      if (animation.frames.empty()) Fail(reader);
      break;
    }
    const int delay = reader.nextImageDelay();
    animation.frames.push_back({frame.convertToFormat(QImage::Format_ARGB32), delay});
    if (!reader.canRead()) break;
  }
  animation.loopCount = LoopCountFromQt(reader.loopCount());
  return animation;
}

QImage DecodeGifFirstFrame(const void* data, size_t size) {
  if (!IsGif(data, size)) throw EInvalidGraphic("GIF image is not valid (no GIF signature)");
  const QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "gif");
  ReadByFormatOnly(reader);
  QImage frame;
  if (!reader.read(&frame)) Fail(reader);
  return frame.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace lugatim::codecs
