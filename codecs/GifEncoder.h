#pragma once
// A GIF89a writer: LZW-compressed frames, each with its own colour table when
// it differs from the first, a delay, a disposal method and an optional
// transparent index, and the loop extension for animations.

#include <QByteArray>
#include <QImage>
#include <vector>

namespace lugatim::codecs {

struct TGifEncodeFrame {
  QImage image;           // Format_Indexed8, at most 256 colours
  int left = 0, top = 0;  // position on the logical screen
  int delayMs = 0;        // stored in hundredths of a second
  int transparentIndex = -1;
  int disposal = 0;  // 0 none, 1 keep, 2 restore to background, 3 restore previous
};

struct TGifEncodeOptions {
  int width = 0, height = 0;  // logical screen; 0 takes the first frame's size
  // Written only for two or more frames: 0 loops forever, n repeats n times.
  int loopCount = 0;
};

QByteArray EncodeGif(const std::vector<TGifEncodeFrame>& frames, const TGifEncodeOptions& options);

// Reduces an image to at most maxColors (2 to 256) colours, for EncodeGif or
// an 8-bit bitmap. Fully transparent pixels (alpha below 128) all map to one
// reserved index, returned in transparentIndex (-1 when the image has none).
QImage ToIndexed8(const QImage& image, int* transparentIndex, int maxColors = 256);

}  // namespace lugatim::codecs
