#include "codecs/NamedFormat.h"

#include <QBuffer>

namespace lugatim::codecs {

void ReadByFormatOnly(QImageReader& reader) {
  reader.setAutoDetectImageFormat(false);
  reader.setDecideFormatFromContent(false);
}

QImage ReadImageFile(const QString& file, const char* format) {
  QImageReader reader(file, format);
  ReadByFormatOnly(reader);
  return reader.read();
}

QImage ReadImageData(const QByteArray& bytes, const char* format) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  ReadByFormatOnly(reader);
  return reader.read();
}

}  // namespace lugatim::codecs
