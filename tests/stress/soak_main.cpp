// SPDX-License-Identifier: MIT
// hvezda-soak: plays game after game on the virtual clock with random input
// and checks the game's invariants after every tick. See tests/stress/soak.h.
//
//   hvezda-soak [--virtual-minutes M] [--seed S] [--game-minutes G]
//               [--require-all-ends] [--trace-dir DIR]
//   hvezda-soak --replay SCRIPT --seed S
//
// On a failure it writes the game's script to DIR (default: the current
// folder) so that `hvezda-sim --seed S FILE` or `hvezda-soak --replay` replays it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "stress/soak.h"

namespace {

int usage() {
    std::cerr << "usage: hvezda-soak [--virtual-minutes M] [--seed S] [--game-minutes G] [--require-all-ends]"
                 " [--trace-dir DIR]\n       hvezda-soak --replay SCRIPT --seed S\n";
    return 2;
}

bool number(const char* text, uint64_t& out) {
    if (!text || !*text || *text == '-') return false;
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return *end == '\0';
}

int replay(const char* path, uint64_t seed) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "error: cannot read " << path << "\n";
        return 2;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const SoakGameResult r = replayWithChecks(seed, lines);
    if (!r.failure.empty()) {
        std::cout << "FAIL: " << r.failure << "\n";
        return 1;
    }
    std::cout << "ok: " << lines.size() << " lines, " << r.ticks << " ticks, " << endingName(r.ending) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t minutes = 60, seed = 1, gameMinutes = 6;
    bool requireAllEnds = false;
    std::string traceDir = ".";
    const char* replayPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--virtual-minutes") && hasValue) {
            if (!number(argv[++i], minutes)) return usage();
        } else if (!std::strcmp(argv[i], "--seed") && hasValue) {
            if (!number(argv[++i], seed)) return usage();
        } else if (!std::strcmp(argv[i], "--game-minutes") && hasValue) {
            if (!number(argv[++i], gameMinutes) || gameMinutes == 0) return usage();
        } else if (!std::strcmp(argv[i], "--trace-dir") && hasValue) {
            traceDir = argv[++i];
        } else if (!std::strcmp(argv[i], "--replay") && hasValue) {
            replayPath = argv[++i];
        } else if (!std::strcmp(argv[i], "--require-all-ends")) {
            requireAllEnds = true;
        } else {
            return usage();
        }
    }
    if (replayPath) return replay(replayPath, seed);

    // The aims in turn, so that even a short run meets all three ends.
    const Aim cycle[] = {Aim::Winner, Aim::GameOverNormal, Aim::GameOverBoss, Aim::EarlyExit, Aim::Free};
    const int64_t target = static_cast<int64_t>(minutes) * 60000;
    const auto started = std::chrono::steady_clock::now();
    int64_t virtualMs = 0;
    uint64_t ticks = 0, keyEvents = 0, lines = 0, games = 0;
    std::map<Ending, uint64_t> endings;
    for (uint64_t i = 0; virtualMs < target; ++i) {
        const uint64_t gameSeed = seed * 1000003u + i;
        const Aim aim = cycle[i % (sizeof cycle / sizeof cycle[0])];
        const SoakGameResult r = soakGame(gameSeed, aim, static_cast<int64_t>(gameMinutes) * 60000);
        ++games;
        virtualMs += r.virtualMs;
        ticks += r.ticks;
        keyEvents += r.keyEvents;
        lines += r.script.size();
        ++endings[r.ending];
        if (!r.failure.empty()) {
            const std::string file = traceDir + "/soak-fail-" + std::to_string(gameSeed) + ".sim";
            std::ofstream out(file);
            for (const std::string& line : r.script) out << line << "\n";
            std::cout << "FAIL in game " << i << " (seed " << gameSeed << ", aim " << aimName(aim) << "): " << r.failure
                      << "\n  script written to " << file << "; replay: hvezda-soak --replay " << file << " --seed "
                      << gameSeed << "\n";
            return 1;
        }
    }
    const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %llu games, %.1f virtual minutes in %.2f s real, %llu ticks, %llu key events, %llu lines\n",
                static_cast<unsigned long long>(games), virtualMs / 60000.0, real,
                static_cast<unsigned long long>(ticks), static_cast<unsigned long long>(keyEvents),
                static_cast<unsigned long long>(lines));
    for (Ending e : {Ending::GameOverNormal, Ending::GameOverBoss, Ending::Winner, Ending::None})
        std::printf("  %-28s %llu\n", endingName(e), static_cast<unsigned long long>(endings[e]));
    if (requireAllEnds) {
        for (Ending e : {Ending::GameOverNormal, Ending::GameOverBoss, Ending::Winner}) {
            if (endings[e] == 0) {
                std::cout << "FAIL: no game reached " << endingName(e) << "\n";
                return 1;
            }
        }
    }
    return 0;
}
