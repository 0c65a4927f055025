// Fuzz entry point for the picture loaders on untrusted bytes (a banner as
// the update server sends it, a skin image). The first input byte chooses
// the codec, the rest is the file:
//   0 "gif"   1 "jpg"   2 "bmp"   3 "ico"   (the byte modulo 4)
// Checked: a failure is an EInvalidGraphic and nothing else; a success gives
// a picture of the codec's format with a non-empty image; a GIF's picture is
// its first frame, and the first-frame reader the skin uses agrees with it.
// A GIF is decoded a second time as a banner is, within the banner's budget
// and onto its canvas: every frame is no larger than the canvas and all of
// them together keep to the budget.
// Any other exception leaves the entry point, which libFuzzer reports.

#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "codecs/CodecError.h"
#include "codecs/Gif.h"
#include "codecs/Picture.h"

namespace {

using lugatim::codecs::EInvalidGraphic;

constexpr std::string_view kExtensions[4] = {"gif", "jpg", "bmp", "ico"};
// Larger inputs only slow the search down; a few hundred kilobytes already
// hold any header and row structure the decoders look at.
constexpr size_t kMaxInput = 256 * 1024;

[[noreturn]] void Fail(const char* what, std::string_view extension) {
  std::fprintf(stderr, "picture check failed (%.*s): %s\n", static_cast<int>(extension.size()),
               extension.data(), what);
  std::abort();
}

void CheckGif(const lugatim::codecs::TPicture& picture, std::string_view file) {
  if (picture.animation.frames.empty()) Fail("a GIF without frames", "gif");
  for (const auto& frame : picture.animation.frames)
    if (frame.image.isNull()) Fail("an empty GIF frame", "gif");
  if (picture.image != picture.animation.frames.front().image)
    Fail("the picture is not the first frame", "gif");
  QImage first;
  try {
    first = lugatim::codecs::DecodeGifFirstFrame(file);
  } catch (const EInvalidGraphic&) {
    Fail("the first-frame reader refused a GIF the animation reader read", "gif");
  }
  if (first != picture.image) Fail("the first-frame reader gives another picture", "gif");
}

constexpr int64_t kBannerBudget = 64LL * 1024 * 1024;
constexpr QSize kBannerCanvas(468, 60);

void CheckBannerGif(std::string_view file) {
  lugatim::codecs::TPicture picture;
  try {
    picture = lugatim::codecs::DecodePicture(file, "gif", {kBannerBudget, kBannerCanvas});
  } catch (const EInvalidGraphic& e) {
    if (e.Message().empty()) Fail("a failure without a message", "gif");
    return;
  }
  int64_t used = 0;
  for (const auto& frame : picture.animation.frames) {
    if (frame.image.width() > kBannerCanvas.width() ||
        frame.image.height() > kBannerCanvas.height())
      Fail("a banner frame larger than the canvas", "gif");
    used += frame.image.sizeInBytes();
  }
  if (used > kBannerBudget) Fail("banner frames beyond the budget", "gif");
  CheckGif(picture, picture.gif);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > kMaxInput) return 0;
  const std::string_view extension = kExtensions[data[0] % 4];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  if (extension == "gif") CheckBannerGif(file);
  lugatim::codecs::TPicture picture;
  try {
    picture = lugatim::codecs::DecodePicture(file, extension);
  } catch (const EInvalidGraphic& e) {
    if (e.Message().empty()) Fail("a failure without a message", extension);
    return 0;
  }
  if (picture.format != extension) Fail("the picture has another format", extension);
  if (picture.image.isNull() || picture.image.width() <= 0 || picture.image.height() <= 0)
    Fail("an empty image reported as success", extension);
  if (extension == "gif")
    CheckGif(picture, file);
  else if (!picture.animation.frames.empty())
    Fail("a still picture with frames", extension);
  return 0;
}
