// SPDX-License-Identifier: MIT
// Writes the game's background music, "Moonlite", as a module file.
#include <cstdio>
#include <exception>
#include <fstream>

#include "song.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    try {
        auto bytes = musicgen::buildMoonlite();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "musicgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
