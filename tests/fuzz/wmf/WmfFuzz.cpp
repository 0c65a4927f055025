// Fuzz entry point for the WMF decoding of the metafile helper.
#include "../support/MetafileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lugatim::fuzz::FuzzMetafile(data, size, lugatim::codecs::TMetafileKind::kWmf);
  return 0;
}
