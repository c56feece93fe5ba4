// SPDX-License-Identifier: MIT
// libFuzzer target: arbitrary bytes as a driver script.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzScript(data, size);
    return 0;
}
