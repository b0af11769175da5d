#include "tests/fuzz/picture_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzz::artworkMetadata(data, size); }
