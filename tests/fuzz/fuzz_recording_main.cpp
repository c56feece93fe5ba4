// SPDX-License-Identifier: MIT
// libFuzzer target: arbitrary bytes as a recording, checked and played.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzRecording(data, size);
    return 0;
}
