// SPDX-License-Identifier: MIT
// libFuzzer target: arbitrary bytes as key events and advances for the core.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzKeys(data, size);
    return 0;
}
