#pragma once
// GIF decoding through Qt's GIF reader. Frames come out composed onto the
// logical screen (disposal applied), as Format_ARGB32 with the transparent
// colour at alpha 0, each with the delay the file gives it, so that a player
// can show them in turn; the skin takes only the first frame.

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lugatim::codecs {

struct TGifFrame {
  QImage image;
  int delayMs = 0;  // how long this frame stays before the next one
};

struct TGifAnimation {
  std::vector<TGifFrame> frames;
  // As the file's loop extension states it: 0 plays forever, n > 0 repeats
  // n more times; -1 when the file has no loop extension (plays once).
  int loopCount = -1;
};

// Every frame of the GIF. Fails with EInvalidGraphic when not even the first
// frame can be read, and, when maxBytes is above 0, as soon as the decoded
// frames together take more than maxBytes. Each frame has the size of the
// logical screen (see FitGifCanvas).
TGifAnimation DecodeGif(const void* data, size_t size, int64_t maxBytes = 0);

// The GIF with its logical screen made no larger than the canvas, so that a
// decoder composes its frames onto at most canvas pixels: what lies outside
// is never shown where the picture is drawn from its top-left corner and
// clipped to the canvas. A screen of 0 (where decoders take the first
// frame's extent) becomes that extent, fitted the same way. Data that is no
// GIF comes back unchanged.
std::string FitGifCanvas(std::string_view data, QSize canvas);

// The first frame, composed onto the logical screen.
QImage DecodeGifFirstFrame(const void* data, size_t size);
inline QImage DecodeGifFirstFrame(std::string_view data) {
  return DecodeGifFirstFrame(data.data(), data.size());
}

}  // namespace lugatim::codecs
