#include "banner/BannerPicture.h"

#include <QBuffer>

#include "banner/BannerFiles.h"
#include "codecs/Bmp.h"

namespace lugatim::banner {

TBannerPicture LoadBannerPicture(const std::string& bannerFolder, const std::string& fileName) {
  const std::string extension = codecs::PictureExtension(fileName);
  // Without a codec for the extension the file is not read at all.
  if (!codecs::IsPictureExtension(extension)) (void)codecs::DecodePicture({}, extension);
  const std::string data = ReadFolderFile(bannerFolder, fileName);
  TBannerPicture banner;
  banner.picture = codecs::DecodePicture(data, extension);
  if (banner.picture.format == "bmp") {
    banner.picture.image = codecs::TransparentByBottomLeft(banner.picture.image);
  }
  banner.bytes = QByteArray(data.data(), static_cast<qsizetype>(data.size()));
  return banner;
}

TImageContent ImageContentOf(const TBannerPicture& banner) {
  TImageContent content;
  if (banner.picture.IsAnimated()) {
    content.movie = std::make_unique<QMovie>();
    auto* buffer = new QBuffer(content.movie.get());
    buffer->setData(banner.bytes);
    buffer->open(QIODevice::ReadOnly);
    content.movie->setFormat("gif");
    content.movie->setDevice(buffer);
    content.movie->setCacheMode(QMovie::CacheAll);
  } else {
    content.image = banner.picture.image;
  }
  return content;
}

}  // namespace lugatim::banner
