// SPDX-License-Identifier: MIT
#include "sim/script.h"

#include <istream>
#include <limits>
#include <ostream>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;
using namespace record;

namespace driver {

namespace {

bool parseTimer(std::string_view name, TimerId& id) {
    for (TimerId t : kTimerOrder) {
        if (name == timerName(t)) {
            id = t;
            return true;
        }
    }
    return false;
}

}  // namespace

void startSim(Sim& sim, SimOptions options) {
    sim.options = std::move(options);
    sim.game = Game{};
    sim.steps.emplace(sim.game);
    sim.draws = 0;
    sim.exited = false;
    sim.music = std::make_shared<musicplayer::RecordingPlayer>();
    Game& g = sim.game;
    g.host.player = sim.music;
    g.host.programFolder = [] { return std::string(kSimProgramFolder); };
    g.host.setCurrentDirectory = [](const std::string&) {};
    g.host.form2Handle = [] { return kSimForm2Handle; };
    g.host.closeWindows = [&sim] { sim.exited = true; };
    g.random.seed = [&sim] { return record::driverSeed(sim.options.seed, sim.game.clock, sim.draws++); };
    Form_Load(g);
}

bool runSimLine(Sim& sim, const std::string& rawLine, std::ostream& out, std::string& error) {
    std::string_view line(rawLine);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Step step;
    std::vector<std::string_view> w;
    sim.unmet = false;
    switch (readLine(sim.game, line, step, w, error)) {
        case LineKind::Nothing: return true;
        case LineKind::Malformed: return false;
        case LineKind::Step: sim.unmet = !sim.steps->run(step, error); return !sim.unmet;
        case LineKind::Other: break;
    }
    const std::string_view cmd = w[0];
    Game& g = sim.game;

    if (cmd == "tick") {
        if (!wordCount(w, 2, 2, error)) return false;
        TimerId id;
        if (!parseTimer(w[1], id)) {
            error = "unknown timer " + base::quote(w[1]);
            return false;
        }
        runTimerHandler(g, id);
        return true;
    }
    if (cmd == "get" || cmd == "set") {
        if (!wordCount(w, 2, cmd == "get" ? 2 : std::numeric_limits<size_t>::max(), error)) return false;
        Target t;
        if (!findTarget(g, w[1], t, error)) return false;
        if (cmd == "set") {
            // The value is everything after "set TARGET ", blanks kept.
            const size_t start = w[0].size() + 1 + w[1].size() + 1;
            return writeTarget(g, t, start <= line.size() ? line.substr(start) : std::string_view{}, error);
        }
        out << t.name << '=' << readTarget(g, t) << '\n';
        return true;
    }
    if (cmd == "dump") {
        if (!wordCount(w, 1, 1, error)) return false;
        sim.steps->values().dump(out);
        return true;
    }
    if (cmd == "hash") {
        if (!wordCount(w, 1, 1, error)) return false;
        out << "hash=" << base::formatHash(sim.steps->values().hash()) << '\n';
        return true;
    }
    if (cmd == "music") {
        if (!wordCount(w, 1, 1, error)) return false;
        for (const std::string& call : sim.music->calls()) out << "music " << call << '\n';
        return true;
    }
    if (cmd == "screenshot") {
        if (w.size() < 2) {
            error = "screenshot needs a file name";
            return false;
        }
        if (!sim.options.screenshot) {
            error = "this build of the driver cannot draw";
            return false;
        }
        const std::string err = sim.options.screenshot(g.scene, std::string(line.substr(w[0].size() + 1)));
        if (!err.empty()) {
            error = err;
            return false;
        }
        return true;
    }
    error = "unknown command " + base::quote(cmd);
    return false;
}

SimResult runSimScript(Sim& sim, std::istream& in, std::ostream& out) {
    SimResult result;
    std::string line;
    int lineNo = 1;
    for (; !sim.exited && std::getline(in, line); ++lineNo) {
        std::string error;
        if (!runSimLine(sim, line, out, error)) {
            result.exitCode = sim.unmet ? 1 : 2;
            result.error = "line " + std::to_string(lineNo) + ": " + error;
            return result;
        }
    }
    if (in.bad()) {  // a folder, or a read error part way through
        result.exitCode = 2;
        result.error = "line " + std::to_string(lineNo) + ": the script cannot be read";
    }
    return result;
}

}  // namespace driver
