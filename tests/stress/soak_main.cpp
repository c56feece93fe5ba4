// SPDX-License-Identifier: MIT
// hvezda-soak: plays game after game on the virtual clock with random input
// through the key fuzzer's entry (tests/fuzz/fuzz_entry.h), which checks the
// game's invariants after every tick and event and aborts at the first that
// breaks. Each game aims at one end, with a few writes (the fuzzer's nudges)
// that steer it there, so that even a short run meets all three.
//
//   hvezda-soak [--virtual-minutes M] [--seed S] [--require-all-ends] [--trace-dir DIR]
//
// Each game's input is written to DIR/soak-last.keys (default: the current
// folder) before it runs; after a failure `hvezda-fuzz-replay keys FILE` replays it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fuzz_entry.h"

namespace {

enum Aim { Free, GameOverNormal, GameOverBoss, Winner };

// One game's input: events of three bytes (see fuzzKeys), about `ms` of play.
std::vector<uint8_t> randomGame(std::mt19937_64& rng, Aim aim, int64_t ms) {
    std::vector<uint8_t> bytes;
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    auto put = [&](int op, int code) {
        bytes.insert(bytes.end(), {static_cast<uint8_t>(op), static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8)});
    };
    // Mostly the game's own keys, X most of all, now and then any 16-bit code.
    auto key = [&] {
        const int r = below(20);
        return r < 14 ? 37 + r % 4 : r < 16 ? 88 : r < 17 ? 67 : below(65536);
    };
    if (aim == GameOverBoss || aim == Winner) put(6, 0);  // score 1001: the next kill calls the boss
    for (int64_t played = 0; played < ms;) {
        const int r = below(100);
        const int shift = below(4) == 0 ? below(32) << 3 : 0;
        if (r < 40) {
            const int step = below(10) == 0 ? 511 : below(40);
            played += step;
            put(4, step);
        } else if (r < 62) {
            put(shift, key());
        } else if (r < 80) {
            put(2 | shift, key());
        } else if (r < 88) {
            put(7, 0);
        } else if (r < 93) {
            put(5, below(65536));
        } else if (r < 95) {
            put(6, 3 + 4 * below(2));  // OVLÁDÁNÍ or CREDITS
        } else if (aim == Winner) {
            put(6, 2);  // the boss hit
        } else if (aim != Free) {
            put(6, 1);  // the shield hit
        }
    }
    return bytes;
}

int usage() {
    std::fprintf(stderr, "usage: hvezda-soak [--virtual-minutes M] [--seed S] [--require-all-ends] [--trace-dir DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long minutes = 60;
    unsigned long long seed = 1;
    bool requireAllEnds = false;
    std::string traceDir = ".";
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--virtual-minutes") && hasValue) minutes = std::atol(argv[++i]);
        else if (!std::strcmp(argv[i], "--seed") && hasValue) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--trace-dir") && hasValue) traceDir = argv[++i];
        else if (!std::strcmp(argv[i], "--require-all-ends")) requireAllEnds = true;
        else return usage();
    }
    if (minutes <= 0) return usage();
    const std::string trace = traceDir + "/soak-last.keys";
    std::mt19937_64 rng(seed);
    std::map<std::string, int> endings;
    int64_t virtualMs = 0;
    int games = 0;
    for (; virtualMs < minutes * 60000; ++games) {
        const Aim aim = static_cast<Aim>(games % 4);
        const std::vector<uint8_t> bytes = randomGame(rng, aim, 20000 + static_cast<int64_t>(rng() % 100000));
        std::ofstream(trace, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        const KeysOutcome out = fuzzKeys(bytes.data(), bytes.size());
        virtualMs += out.ms;
        ++endings[out.ending];
    }
    std::printf("soak: %d games, %.1f virtual minutes\n", games, static_cast<double>(virtualMs) / 60000.0);
    for (const auto& [ending, n] : endings) std::printf("  %-28s %d\n", ending.c_str(), n);
    if (!requireAllEnds) return 0;
    for (const char* e : {"GAME OVER in normal play", "GAME OVER in the boss phase", "WINNER"}) {
        if (!endings.count(e)) {
            std::printf("FAIL: no game reached %s\n", e);
            return 1;
        }
    }
    return 0;
}
