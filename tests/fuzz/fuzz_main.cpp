// SPDX-License-Identifier: MIT
// libFuzzer target: arbitrary bytes through the entry FUZZ_ENTRY (fuzzScript,
// fuzzRecording or fuzzKeys), set by the build for each target.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FUZZ_ENTRY(data, size);
    return 0;
}
