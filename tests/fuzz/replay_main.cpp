// SPDX-License-Identifier: MIT
// hvezda-fuzz-replay MODE PATH...: every file (in a folder: every file, in name order) through
// the fuzz entry for MODE (script, recording, hall or keys), with whatever compiler builds the project.
// A keys input named after its end (random_s1_g03_winner.bin, a whole random game) must end that way.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_entry.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const std::string mode = argc >= 3 ? argv[1] : "";
    void (*entry)(const uint8_t*, size_t) = mode == "script"      ? fuzzScript
                                            : mode == "recording" ? fuzzRecording
#ifdef HVEZDA_FUZZ_HALL
                                            : mode == "hall"      ? fuzzHall
#endif
                                                                  : nullptr;
    if (!entry && mode != "keys") {
        std::fprintf(stderr, "usage: hvezda-fuzz-replay script|recording|keys PATH...\n");
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 2; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (const auto& e : fs::directory_iterator(argv[i]))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (fs::is_regular_file(argv[i])) {
            files.push_back(argv[i]);
        } else {
            std::fprintf(stderr, "error: %s is neither a file nor a folder\n", argv[i]);
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        if (entry) {
            entry(data, bytes.size());
            continue;
        }
        const std::string end = fuzzKeys(data, bytes.size()), stem = f.stem().string();
        if (stem.starts_with("random_s") && !stem.ends_with("_" + end)) {
            std::fprintf(stderr, "error: %s ended with %s\n", f.c_str(), end.c_str());
            return 1;
        }
    }
    std::printf("replayed %zu %s inputs\n", files.size(), mode.c_str());
    return files.empty() ? 2 : 0;
}
