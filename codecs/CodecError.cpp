#include "codecs/CodecError.h"

namespace lugatim::codecs {

EInvalidGraphic UnknownExtension(const std::string& extension) {
  return EInvalidGraphic(base::Format("Unknown picture file extension (.%s)", extension.c_str()));
}

EInvalidGraphic NoMetafileDecoder(const std::string& extension) {
  return EInvalidGraphic(base::Format("Metafile pictures (.%s) cannot be decoded on this platform",
                                      extension.c_str()));
}

}  // namespace lugatim::codecs
