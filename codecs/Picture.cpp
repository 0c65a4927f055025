#include "codecs/Picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "codecs/Bmp.h"
#include "codecs/CodecError.h"
#include "codecs/Jpeg.h"
#include "codecs/MetafileDecoder.h"

namespace lugatim::codecs {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

QImage DecodeIcon(std::string_view data) {
  QByteArray bytes = QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size()));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  reader.setDecideFormatFromContent(false);
  QImage image;
  if (!reader.read(&image))
    throw EInvalidGraphic("Icon image is not valid (" + reader.errorString().toStdString() + ")");
  return image.convertToFormat(QImage::Format_ARGB32);
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

bool IsPictureExtension(std::string_view extension) {
  const std::string ext = Lower(extension);
  return ext == "gif" || ext == "jpg" || ext == "jpeg" || ext == "bmp" || ext == "ico" ||
         ext == "wmf" || ext == "emf";
}

std::string PictureExtension(std::string_view fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  const std::string_view name =
      slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

TPicture DecodePicture(std::string_view data, std::string_view extension,
                       const TDecodeLimits& limits) {
  const std::string ext = Lower(extension);
  TPicture picture;
  if (ext == "gif") {
    picture.format = "gif";
    // No copy is made of what is no GIF: the decoder refuses it as it is.
    if (!data.starts_with("GIF87a") && !data.starts_with("GIF89a"))
      DecodeGif(data.data(), data.size());
    picture.gif = FitGifCanvas(data, limits.canvas);
    picture.animation = DecodeGif(picture.gif.data(), picture.gif.size(), limits.maxBytes);
    picture.image = picture.animation.frames.front().image;
    return picture;  // the budget is kept frame by frame
  }
  const size_t maxBytes = limits.maxBytes > 0 ? static_cast<size_t>(limits.maxBytes) : 0;
  if (ext == "jpg" || ext == "jpeg") {
    picture.format = "jpg";
    picture.image = DecodeJpeg(data.data(), data.size(), maxBytes);
  } else if (ext == "bmp") {
    picture.format = "bmp";
    picture.image = DecodeBmp(data.data(), data.size(), maxBytes);
  } else if (ext == "ico") {
    picture.format = "ico";
    picture.image = DecodeIcon(data);
  } else if (ext == "wmf" || ext == "emf") {
    picture.format = ext;
    picture.image = DecodeMetafile(data, ext);
  } else {
    throw UnknownExtension(std::string(extension));
  }
  if (maxBytes > 0 && static_cast<size_t>(picture.image.sizeInBytes()) > maxBytes) {
    throw EInvalidGraphic(base::Format("%s image is too large (it takes more than %zu bytes)",
                                       Upper(picture.format).c_str(), maxBytes));
  }
  return picture;
}

TPicture LoadPicture(const std::string& path) {
  // The extension decides before the file is touched: without a codec there
  // is nothing to read it with.
  const std::string ext = PictureExtension(path);
  if (!IsPictureExtension(ext)) DecodePicture({}, ext);  // raises the extension's own error
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int err = errno;
    throw EInvalidGraphic(
        base::Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(err)));
  }
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodePicture(data, ext);
}

}  // namespace lugatim::codecs
