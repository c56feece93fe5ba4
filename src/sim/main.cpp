// SPDX-License-Identifier: MIT
// hvezda-sim: replays a script of key presses, clicks and clock advances
// against the game on a virtual clock and prints what the script asks for.
// With --verify it replays a recording of the game and checks its end.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "base/arguments.h"
#include "base/files.h"
#include "record/replay.h"
#include "sim/seal.h"
#include "sim/screenshot_hook.h"
#include "sim/script.h"

using namespace rec;
using namespace driver;

namespace {

constexpr const char* kUsage =
    "usage: hvezda-sim [--seed N] [SCRIPT] | hvezda-sim --verify RECORDING | hvezda-sim --seal SCRIPT";

int usage(const std::string& why) {
    std::cerr << kUsage << "\n" << why << "\n";
    return 2;
}

std::string recordingHelp(const RecordingLimits& limits) {
    return "A recording, as the game writes it, that must replay through every checkpoint to the state "
           "written at its end. It may hold only comments and format, player, seed, daily, keydown, keyup, click, "
           "advance, random, checkpoint, expect and expect-hash lines, of at most " + std::to_string(limits.longestLine) +
           " bytes each, and at most 24 hours (" +
           std::to_string(limits.longestPlayMs) + " ms) of play; anything else is refused before it runs. "
           "Status: 0 verified, 1 the replay went another way (the first checkpoint that differs, at N ms), 2 refused "
           "(also a newer format), 3 cut short (replayed up to the "
           "last complete line). A verified recording's line ends with where its luck came from: 'luck: seed S' "
           "when every value came from its seed line, 'luck: chosen' when the recording gave them (random lines, "
           "formats 1 and 2).";
}

int verify(Sim& sim, const std::string& path) {
    std::ifstream file;
    if (const std::string why = openRecording(path, file); !why.empty()) {
        std::cerr << "error: " << why << "\n";
        return 2;
    }
    const Verdict v = verifyRecording(sim.game, file);
    if (v.status == Verdict::Verified) std::cout << "verified: " << v.message << luckSaid(v) << "\n";
    else std::cerr << (v.status == Verdict::Cut ? "cut short: " : "error: ") << v.message << "\n";
    return v.status;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Runs the game on a virtual clock from a script of key presses, clicks and clock advances "
                 "(standard input when SCRIPT is absent or -) and prints what the script asks for. The "
                 "protocol is in docs/driver.md.",
                 "hvezda-sim"};
    std::string seedText, scriptPath, recording, sealPath;
    auto* seed = app.add_option("--seed", seedText, "seeds the driver's own random generator (default 0)")->type_name("N");
    auto* script = app.add_option("SCRIPT", scriptPath, "the script to run")->type_name("");
    auto* verifyOption = app.add_option("--verify", recording, recordingHelp(RecordingLimits{}))->type_name("FILE")->excludes(script);
    app.add_option("--seal", sealPath,
                   "prints SCRIPT as a recording that verifies: a format line, its own lines, checkpoints and the "
                   "closing expectations. SCRIPT may hold only comments and keydown, keyup, click, advance, random, "
                   "seed, daily and player lines; any other is refused with its number (status 2)")
        ->type_name("SCRIPT")
        ->excludes(script)
        ->excludes(verifyOption)
        ->excludes(seed);
    try {
        base::Utf8Arguments utf8(argc, argv);
        app.parse(utf8.argc(), utf8.argv());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return usage(e.what());
    }

    SimOptions options;
    if (seed->count()) {
        char* end = nullptr;
        options.seed = std::strtoull(seedText.c_str(), &end, 10);
        if (*end != '\0' || seedText.empty() || seedText[0] == '-' || seedText[0] == '+') return usage("--seed needs a whole number");
    }

    if (!sealPath.empty()) {
        std::ifstream in(base::pathFromUtf8(sealPath), std::ios::binary);
        if (!in) {
            std::cerr << "error: cannot read " << sealPath << "\n";
            return 2;
        }
        std::string sealed;
        const SimResult result = sealScript(in, sealed);
        if (result.exitCode != 0) {
            std::cerr << "error: " << result.error << "\n";
            return result.exitCode;
        }
        std::cout << sealed;
        return 0;
    }

    Sim sim;
    if (!recording.empty()) {
        startSim(sim, options);
        return verify(sim, recording);
    }
    options.screenshot = simScreenshotHook();

    std::ifstream file;
    std::istream* in = &std::cin;
    if (!scriptPath.empty() && scriptPath != "-") {
        file.open(base::pathFromUtf8(scriptPath));
        if (!file) {
            std::cerr << "error: cannot read " << scriptPath << "\n";
            return 2;
        }
        in = &file;
    }

    startSim(sim, options);
    const SimResult result = runSimScript(sim, *in, std::cout);
    std::cout.flush();
    if (result.exitCode != 0) std::cerr << "error: " << result.error << "\n";
    return result.exitCode;
}
