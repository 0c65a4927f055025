#pragma once
// Picture loading by file name extension, letter case ignored: "gif" (every
// frame, ready to be played), "jpg" and "jpeg" (libjpeg), "bmp", "ico", and
// the Windows metafiles "wmf" and "emf" (decoded in a limited helper
// process, see MetafileDecoder.h). Any other extension, none included, fails
// with EInvalidGraphic "Unknown picture file extension (.%s)", %s the
// extension without its dot.

#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/Gif.h"

namespace lugatim::codecs {

struct TPicture {
  std::string format;       // "gif", "jpg", "bmp", "ico", "wmf" or "emf"
  QImage image;             // the still picture, or the first frame of a GIF
  TGifAnimation animation;  // every frame of a GIF (one for a still GIF); empty otherwise
  std::string gif;          // a GIF as decoded (its screen fitted to the canvas), for a player

  bool IsAnimated() const { return animation.frames.size() > 1; }
};

// The extension of a file name: the text after the last "." of its last path
// component, without the dot; empty when it has none.
std::string PictureExtension(std::string_view fileName);

// Whether a codec serves the extension (without its dot, any letter case).
bool IsPictureExtension(std::string_view extension);

// What one picture may take when decoded. maxBytes bounds the decoded
// pixels of all its frames together, whatever the codec (a metafile's
// output included); over it the picture fails with EInvalidGraphic like an
// undecodable one. A GIF's frames are composed onto a canvas of at most
// canvas pixels (FitGifCanvas). 0 and an empty size: the codecs' own limits.
struct TDecodeLimits {
  int64_t maxBytes = 0;
  QSize canvas;
};

// Decodes data as the codec chosen by the extension (without its dot).
TPicture DecodePicture(std::string_view data, std::string_view extension,
                       const TDecodeLimits& limits = {});

// Reads and decodes a file. A file that cannot be read fails with
// EInvalidGraphic 'Cannot open file "%s". <reason>'.
TPicture LoadPicture(const std::string& path);

}  // namespace lugatim::codecs
