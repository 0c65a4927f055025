#pragma once
// A banner picture as the rotation hands it to the main thread, and what
// the window's image control makes of it.

#include <QByteArray>
#include <QImage>
#include <QMovie>
#include <QSize>
#include <cstdint>
#include <memory>
#include <string>

#include "codecs/Picture.h"

namespace lugatim::banner {

struct TBannerPicture {
  codecs::TPicture picture;  // decoded; a bitmap already drawn transparently
  QByteArray bytes;          // a GIF as decoded, which it is played from; empty otherwise
};

// The banner area, which draws a picture from its top-left corner, clipped.
inline constexpr QSize kBannerArea{468, 60};
// What the decoded frames of one banner may take together, whatever its codec.
inline constexpr int64_t kMaxBannerPictureBytes = 64LL * 1024 * 1024;

// Reads and decodes the folder's banner file of that name (found without
// regard to letter case), by its extension, within kMaxBannerPictureBytes;
// a GIF's frames are composed onto no more than the banner area, and it is
// played from those bytes. A bitmap's bottom-left colour becomes
// transparent, as the banner area draws bitmaps. Fails with base::Exception
// (the file) or codecs::EInvalidGraphic (the content, its size or the
// extension).
TBannerPicture LoadBannerPicture(const std::string& bannerFolder, const std::string& fileName);

// What an image control shows for a banner: a movie for an animated GIF
// (played from the banner's bytes, with its own frame delays, loop count and
// transparency; the movie owns the buffer it reads and keeps no frame but
// the current one), otherwise a still image.
// Call on the main thread: the movie belongs to the thread that makes it.
struct TImageContent {
  QImage image;
  std::unique_ptr<QMovie> movie;
};
TImageContent ImageContentOf(const TBannerPicture& banner);

// Shows the banner in an image control that offers SetImage(QImage) and
// SetMovie(std::unique_ptr<QMovie>), replacing its picture.
template <class ImageControl>
void ShowBannerOn(ImageControl& control, const TBannerPicture& banner) {
  TImageContent content = ImageContentOf(banner);
  if (content.movie) {
    control.SetMovie(std::move(content.movie));
  } else {
    control.SetImage(content.image);
  }
}

}  // namespace lugatim::banner
