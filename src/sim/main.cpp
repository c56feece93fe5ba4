// SPDX-License-Identifier: MIT
// hvezda-sim: replays a script of key presses, clicks and clock advances
// against the game on a virtual clock and prints what the script asks for.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "sim/screenshot_hook.h"
#include "sim/script.h"

namespace {
int usage() {
    std::cerr << "usage: hvezda-sim [--seed N] [SCRIPT]\n";
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    const char* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            char* end = nullptr;
            options.seed = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || argv[i][0] == '-' || argv[i][0] == '\0') return usage();
        } else if (!scriptPath && (argv[i][0] != '-' || std::strcmp(argv[i], "-") == 0)) {
            scriptPath = argv[i];
        } else {
            return usage();
        }
    }
    options.screenshot = simScreenshotHook();

    std::ifstream file;
    std::istream* in = &std::cin;
    if (scriptPath && std::strcmp(scriptPath, "-") != 0) {
        file.open(scriptPath);
        if (!file) {
            std::cerr << "error: cannot read " << scriptPath << "\n";
            return 2;
        }
        in = &file;
    }

    Sim sim;
    startSim(sim, options);
    const SimResult result = runSimScript(sim, *in, std::cout);
    std::cout.flush();
    if (result.exitCode != 0) std::cerr << "error: " << result.error << "\n";
    return result.exitCode;
}
