#include "banner/BannerPicture.h"

#include <QBuffer>

#include "banner/BannerFiles.h"
#include "codecs/Bmp.h"

namespace lugatim::banner {

TBannerPicture LoadBannerPicture(const std::string& bannerFolder, const std::string& fileName) {
  const std::string extension = codecs::PictureExtension(fileName);
  // Without a codec for the extension the file is not read at all.
  if (!codecs::IsPictureExtension(extension)) (void)codecs::DecodePicture({}, extension);
  std::string data = ReadFolderFile(bannerFolder, fileName);
  TBannerPicture banner;
  banner.picture = codecs::DecodePicture(data, extension, {kMaxBannerPictureBytes, kBannerArea});
  data = std::string();  // the file's bytes go before any copy is made
  if (banner.picture.format == "bmp") {
    banner.picture.image = codecs::TransparentByBottomLeft(banner.picture.image);
  }
  // A GIF plays from the bytes that were decoded: its screen fitted to the
  // area. Nothing else is played, so nothing else is kept.
  std::string gif = std::move(banner.picture.gif);
  banner.bytes = QByteArray(gif.data(), static_cast<qsizetype>(gif.size()));
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
    // The decoded frames are not kept a second time: the movie reads each
    // frame from the bytes as it comes.
    content.movie->setCacheMode(QMovie::CacheNone);
  } else {
    content.image = banner.picture.image;
  }
  return content;
}

}  // namespace lugatim::banner
