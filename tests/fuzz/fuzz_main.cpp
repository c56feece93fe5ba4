// SPDX-License-Identifier: MIT
// libFuzzer target: the bytes through FUZZ_ENTRY, set by the build for each target.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FUZZ_ENTRY(data, size);
    return 0;
}
