#pragma once
// The one failure of every codec: the picture data cannot be decoded (or a
// picture cannot be encoded). The message says why, in the codec's words.

#include <string>

#include "base/Exception.h"

namespace lugatim::codecs {

class EInvalidGraphic : public base::Exception {
 public:
  using base::Exception::Exception;
};

// "Unknown picture file extension (.%s)": no codec serves the extension.
EInvalidGraphic UnknownExtension(const std::string& extension);

}  // namespace lugatim::codecs
