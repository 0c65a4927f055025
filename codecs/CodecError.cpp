#include "codecs/CodecError.h"

namespace lugatim::codecs {

EInvalidGraphic UnknownExtension(const std::string& extension) {
  return EInvalidGraphic(base::Format("Unknown picture file extension (.%s)", extension.c_str()));
}

}  // namespace lugatim::codecs
