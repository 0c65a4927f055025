#pragma once
// Picture loading by file name extension, letter case ignored: "gif" (every
// frame, ready to be played), "jpg" and "jpeg" (libjpeg), "bmp", "ico". Any
// other extension, none included, fails with EInvalidGraphic
// "Unknown picture file extension (.%s)", %s the extension without its dot,
// except the Windows metafile extensions "wmf" and "emf", which have no
// decoder on this platform and fail with
// "Metafile pictures (.%s) cannot be decoded on this platform".

#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/Gif.h"

namespace lugatim::codecs {

struct TPicture {
  std::string format;       // "gif", "jpg", "bmp" or "ico"
  QImage image;             // the still picture, or the first frame of a GIF
  TGifAnimation animation;  // every frame of a GIF (one for a still GIF); empty otherwise

  bool IsAnimated() const { return animation.frames.size() > 1; }
};

// The extension of a file name: the text after the last "." of its last path
// component, without the dot; empty when it has none.
std::string PictureExtension(std::string_view fileName);

// Whether a codec serves the extension (without its dot, any letter case).
bool IsPictureExtension(std::string_view extension);

// Decodes data as the codec chosen by the extension (without its dot).
TPicture DecodePicture(std::string_view data, std::string_view extension);

// Reads and decodes a file. A file that cannot be read fails with
// EInvalidGraphic 'Cannot open file "%s". <reason>'.
TPicture LoadPicture(const std::string& path);

}  // namespace lugatim::codecs
