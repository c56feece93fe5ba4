// SPDX-License-Identifier: MIT
#include "app/recorder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/files.h"
#include "shell/shell.h"
#include "sim/script.h"

#ifndef HVEZDA_VERSION
#define HVEZDA_VERSION "unknown"
#endif

using namespace hvezda;

namespace app {

namespace {

#ifndef _WIN32
// mkdir -p with the mode of a private folder.
bool makeFolders(const std::string& path, std::string& error) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}
#endif

// The n-th game's file when a file was chosen: game.sim, game-2.sim, ...
std::string numbered(const std::string& path, int n) {
    const size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

// What the recording states about the game's end, besides the hash.
constexpr const char* kFinalTargets[] = {
    "clock",         "score.Caption", "energy.Top",            "bossenergy.Top",     "Picture1.Left",
    "Picture1.Top",  "state.playerDestroyed", "state.bossApproach", "Timerboss.Enabled", "Label3.Visible"};

// Random values on one line at most: well inside the reader's line limit.
constexpr size_t kValuesPerLine = 64;

}  // namespace

std::string recordingFolder(std::string& error) {
#ifdef _WIN32
    const std::string folder = plat::windowsUserFolder();
    if (folder.empty()) error = "Windows names no application data folder";
    return folder;
#else
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        error = "neither XDG_STATE_HOME nor HOME names a folder";
        return {};
    }
    const std::string folder = base + "/hvezda";
    return makeFolders(folder, error) ? folder : std::string();
#endif
}

std::string rotateRecordings(const std::string& folder, std::string& error) {
    const std::string last = folder + kPathSeparator + kLastGame;
    std::error_code ec;
    if (!std::filesystem::exists(plat::pathFromUtf8(last), ec)) return last;
    if (const std::string why = plat::replaceFile(last, folder + kPathSeparator + kPreviousGame); !why.empty()) {
        error = "cannot keep " + last + " as " + kPreviousGame + ": " + why;
        return {};
    }
    return last;
}

void Recorder::start(Game& g) {
    close();
    drawn_.clear();
    writtenClock_ = flushedClock_ = g.clock;
    ended_ = false;
    ++games_;
    std::string error, path = chosen_;
    if (path.empty()) {
        const std::string folder = recordingFolder(error);
        if (!folder.empty()) path = rotateRecordings(folder, error);
    } else if (games_ > 1) {
        path = numbered(path, games_);
    }
    if (!path.empty()) error = open(path);
    if (!error.empty()) std::fprintf(stderr, "hvezda: not recording this game: %s\n", error.c_str());

    // Every value the game draws, as the driver's random line will give it
    // back; the source carries over to a new game.
    if (!watchingDraws_) {
        g.random.seed = [this, inner = std::move(g.random.seed)] {
            const uint64_t seed = inner ? inner() : 0;
            if (file_) drawn_.push_back(uniformFromSeed(seed));
            return seed;
        };
        watchingDraws_ = true;
    }
}

std::string Recorder::open(const std::string& path) {
    file_ = plat::openFile(path, "wb");  // the same lines, LF only, everywhere
    if (!file_) return "cannot write " + path + ": " + std::strerror(errno);
    path_ = path;

    char date[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local);
    write(std::string("# Hvězda ") + HVEZDA_VERSION + ": a game played on " + date);
    write("# Replay it with: hvezda --replay FILE; check it with: hvezda-sim --verify FILE");
    flush();
    return {};
}

void Recorder::catchUp(Game& g) {
    for (size_t i = 0; i < drawn_.size(); i += kValuesPerLine) {
        std::string line = "random";
        for (size_t k = i; k < drawn_.size() && k < i + kValuesPerLine; ++k) line += " " + formatFloat(drawn_[k]);
        write(line);
    }
    drawn_.clear();
    if (g.clock > writtenClock_) write("advance " + std::to_string(g.clock - writtenClock_));
    writtenClock_ = g.clock;
}

void Recorder::onInstant(Game& g) {
    if (!file_ || g.clock - flushedClock_ < 1000) return;
    catchUp(g);
    flush();
}

void Recorder::before(Game& g, const plat::DeliveredEvent& e) {
    if (!file_) return;
    keyReaches_ = g.scene.Form1.open && g.scene.Form1.KeyPreview;
    if (e.kind != plat::DeliveredEvent::Kind::Click && !keyReaches_) return;
    catchUp(g);
    if (e.kind == plat::DeliveredEvent::Kind::Click && e.label == plat::PanelLabel::Exit) writeFinalState(g);
}

void Recorder::after(Game& g, const plat::DeliveredEvent& e) {
    if (!file_) return;
    std::string line;
    switch (e.kind) {
        case plat::DeliveredEvent::Kind::KeyDown:
        case plat::DeliveredEvent::Kind::KeyUp:
            // A key that cannot reach the handlers any more changes nothing.
            if (!keyReaches_) return;
            line = e.kind == plat::DeliveredEvent::Kind::KeyDown ? "keydown " : "keyup ";
            line += std::to_string(e.code);
            if (e.shift) line += " " + std::to_string(e.shift);
            break;
        case plat::DeliveredEvent::Kind::Click:
            line = e.label == plat::PanelLabel::Exit       ? "click Label4"
                   : e.label == plat::PanelLabel::Controls ? "click Label5"
                                                           : "click Label6";
            break;
    }
    catchUp(g);  // values a handler drew are queued before the line that draws them
    write(line);
    flush();
    if (e.kind == plat::DeliveredEvent::Kind::Click && e.label == plat::PanelLabel::Exit) close();
}

void Recorder::finish(Game& g) {
    if (!file_) return;
    catchUp(g);
    if (!ended_) writeFinalState(g);
    close();
}

void Recorder::writeFinalState(Game& g) {
    write("# How the game ended:");
    for (const char* target : kFinalTargets) {
        std::string value, unused;
        readTarget(g, target, value, unused);
        write(std::string("expect ") + target + (value.empty() ? "" : " " + value));
    }
    write("expect-hash " + formatHash(stateHash(g)));
    flush();
    ended_ = true;
}

void Recorder::write(const std::string& line) {
    if (!file_) return;
    if (std::fputs(line.c_str(), file_) < 0 || std::fputc('\n', file_) == EOF) stop();
}

void Recorder::flush() {
    flushedClock_ = writtenClock_;
    if (file_ && std::fflush(file_) != 0) stop();
}

void Recorder::stop() {
    std::fprintf(stderr, "hvezda: recording stopped, cannot write %s: %s\n", path_.c_str(), std::strerror(errno));
    std::fclose(file_);
    file_ = nullptr;
}

void Recorder::close() {
    if (file_ && std::fclose(file_) != 0) {
        file_ = nullptr;
        std::fprintf(stderr, "hvezda: recording stopped, cannot write %s: %s\n", path_.c_str(), std::strerror(errno));
    }
    file_ = nullptr;
}

}  // namespace app
