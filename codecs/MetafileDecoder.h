#pragma once
// Windows metafile banners, decoded out of harm's way: the decoders
// (libwmf, libemf2svg, Qt SVG) run in a short-lived helper process,
// lugatim-metafile (beside the program's executable; in
// <prefix>/libexec/lugatim/ when installed), which gets the file's
// bytes on its standard input and returns the picture's pixels. The helper
// starts with an empty environment and runs under a memory limit and a
// processor-time limit, may write no file and open few descriptors, cannot
// gain privileges, and the caller kills it when it outlasts a wall-clock
// limit. A crash, a hang or a limit reached
// in the helper fails like any undecodable picture, with EInvalidGraphic.

#include <QImage>
#include <cstdint>
#include <string>
#include <string_view>

namespace lugatim::codecs {

struct TMetafileLimits {
  int memoryMiB = 256;  // the helper's data segment and heap
  int cpuSeconds = 3;   // processor time of the helper
  int wallSeconds = 5;  // from start to its last byte of output
};

// The helper's file name, and where the program looks for it: beside its
// own executable (the build folder's bin/, or <prefix>/bin when installed).
inline constexpr char kMetafileHelperName[] = "lugatim-metafile";
std::string MetafileHelperPath();

// Decodes a ".wmf" or ".emf" file (extension without its dot, any letter
// case) in the helper at helperPath. The result is a Format_ARGB32 image.
QImage DecodeMetafile(std::string_view data, std::string_view extension,
                      const std::string& helperPath = MetafileHelperPath(),
                      const TMetafileLimits& limits = {});

// The helper's side of the exchange: what it writes on its result channel
// (file descriptor 3). "P", width and height as 32-bit little-endian
// numbers, then the pixels as Format_ARGB32 rows; or "E" and a message.
inline constexpr int kMetafileResultFd = 3;
std::string EncodeMetafileResult(const QImage& image);
std::string EncodeMetafileError(const std::string& message);

}  // namespace lugatim::codecs
