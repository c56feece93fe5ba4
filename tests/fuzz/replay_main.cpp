// SPDX-License-Identifier: MIT
// hvezda-fuzz-replay MODE PATH...: runs every file (folders: every file in
// them, in name order) through the fuzz entry for MODE, `script` or `keys`.
// Built with any compiler; the test command replays the committed corpus with it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_entry.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "script") != 0 && std::strcmp(argv[1], "keys") != 0)) {
        std::fprintf(stderr, "usage: hvezda-fuzz-replay script|keys PATH...\n");
        return 2;
    }
    const bool script = std::strcmp(argv[1], "script") == 0;
    std::vector<fs::path> files;
    for (int i = 2; i < argc; ++i) {
        const fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (fs::is_regular_file(p)) {
            files.push_back(p);
        } else {
            std::fprintf(stderr, "error: %s is neither a file nor a folder\n", argv[i]);
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "error: no input files\n");
        return 2;
    }
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        if (script) fuzzScript(data, bytes.size());
        else fuzzKeys(data, bytes.size());
    }
    std::printf("replayed %zu %s inputs\n", files.size(), script ? "script" : "keys");
    return 0;
}
