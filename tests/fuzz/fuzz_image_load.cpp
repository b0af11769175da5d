#include "tests/fuzz/picture_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initImageLoad();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzz::imageLoad(data, size); }
