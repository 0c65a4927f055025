// Fuzz entry point for the EMF decoding of the metafile helper.
#include "../support/MetafileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lugatim::fuzz::FuzzMetafile(data, size, lugatim::codecs::TMetafileKind::kEmf);
  return 0;
}
