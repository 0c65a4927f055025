#include "codecs/Gif.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <optional>

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

int Le16(std::string_view data, size_t at) {
  return static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8);
}

void PutLe16(std::string& data, size_t at, int value) {
  data[at] = static_cast<char>(value & 0xFF);
  data[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// The extent (right and bottom edge) of the first frame, or nothing when the
// blocks before it cannot be walked.
std::optional<QSize> FirstFrameExtent(std::string_view data) {
  size_t at = 13;
  const auto flags = static_cast<unsigned char>(data[10]);
  if (flags & 0x80) at += size_t{3} << ((flags & 7) + 1);  // global colour table
  while (at < data.size()) {
    const auto kind = static_cast<unsigned char>(data[at]);
    if (kind == 0x2C) {
      if (at + 9 >= data.size()) return std::nullopt;
      return QSize(Le16(data, at + 1) + Le16(data, at + 5),
                   Le16(data, at + 3) + Le16(data, at + 7));
    }
    if (kind != 0x21 || at + 2 >= data.size()) return std::nullopt;
    at += 2;  // introducer and label, then sub-blocks up to an empty one
    while (at < data.size() && data[at] != 0) at += 1 + static_cast<unsigned char>(data[at]);
    ++at;
  }
  return std::nullopt;
}

}  // namespace

std::string FitGifCanvas(std::string_view data, QSize canvas) {
  std::string fitted(data);
  if (data.size() < 13 || !IsGif(data.data(), data.size()) || canvas.isEmpty()) return fitted;
  QSize screen(Le16(data, 6), Le16(data, 8));
  if (screen.width() == 0 || screen.height() == 0) {
    const auto extent = FirstFrameExtent(data);
    if (!extent) return fitted;
    if (screen.width() == 0) screen.setWidth(extent->width());
    if (screen.height() == 0) screen.setHeight(extent->height());
  }
  PutLe16(fitted, 6, std::min(screen.width(), canvas.width()));
  PutLe16(fitted, 8, std::min(screen.height(), canvas.height()));
  return fitted;
}

TGifAnimation DecodeGif(const void* data, size_t size, int64_t maxBytes) {
  if (!IsGif(data, size)) throw EInvalidGraphic("GIF image is not valid (no GIF signature)");
  const QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "gif");
  ReadByFormatOnly(reader);
  TGifAnimation animation;
  int64_t used = 0;
  while (true) {
    QImage frame;
    if (!reader.read(&frame)) {
      if (animation.frames.empty()) Fail(reader);
      break;
    }
    const int delay = reader.nextImageDelay();
    QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
    used += argb.sizeInBytes();
    if (maxBytes > 0 && used > maxBytes) {
      throw EInvalidGraphic(
          base::Format("GIF image is too large (its frames take more than %lld bytes)",
                       static_cast<long long>(maxBytes)));
    }
    animation.frames.push_back({std::move(argb), delay});
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
