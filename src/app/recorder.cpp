// SPDX-License-Identifier: MIT
#include "app/recorder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/files.h"
#include "platform/clock_random.h"
#include "platform/folders.h"
#include "shell/shell.h"

using namespace hvezda;

namespace app {

namespace {


// The n-th game's file when a file was chosen: game.sim, game-2.sim, ...
std::string numbered(const std::string& path, int n) {
    const size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

}  // namespace

rec::GameSeed seedFromClock() { return {plat::clockSeed(), {}}; }

rec::GameSeed seedOfToday() {
    rec::GameSeed s;
    s.daily = rec::todayUtc();
    rec::dailySeedOf(s.daily, s.seed);
    return s;
}

std::string rotateRecordings(const std::string& folder, std::string& error) {
    const std::string last = folder + base::kPathSeparator + kLastGame;
    std::error_code ec;
    if (!std::filesystem::exists(base::pathFromUtf8(last), ec)) return last;
    if (const std::string why = base::replaceFile(last, folder + base::kPathSeparator + kPreviousGame); !why.empty()) {
        error = "cannot keep " + last + " as " + kPreviousGame + ": " + why;
        return {};
    }
    return last;
}

void Recorder::start(Game& g) {
    close();
    ++games_;
    std::string error, path = chosen_;
    if (path.empty()) {
        const std::string folder = plat::folder(plat::Folder::Recordings, true, error);
        if (!folder.empty()) path = rotateRecordings(folder, error);
    } else if (games_ > 1) {
        path = numbered(path, games_);
    }
    whole_ = false;
    if (!path.empty()) error = open(path);
    whole_ = file_ != nullptr;
    if (!error.empty()) std::fprintf(stderr, "hvezda: not recording this game: %s\n", error.c_str());

    // All of the game's luck from one seed: nothing drawn needs writing down.
    seed_ = seeds_();
    g.random.seed = rec::seedStream(seed_.seed);
    g.random.onDraw = nullptr;

    rec::Writer::Header header;
    header.name = name_;
    header.seed = seed_;
    header.comments = {"Hvězda " + std::string(rec::programVersion()) + ": a game played on " +
                           header.when.substr(0, 10) + " " + header.when.substr(11, 5),
                       "Replay it with: hvezda --replay FILE; check it with: hvezda-sim --verify FILE"};
    writer_.start(g, header);
    save(true);
}

std::string Recorder::open(const std::string& path) {
    file_ = base::openFile(path, "wb");  // the same lines, LF only, everywhere
    if (!file_) return "cannot write " + path + ": " + std::strerror(errno);
    path_ = path;
    return {};
}

void Recorder::onInstant(Game& g) {
    if (file_ && writer_.instant(g)) save(true);
}

void Recorder::before(Game& g, const plat::DeliveredEvent& e) {
    if (!file_) return;
    writer_.catchUp(g);
    if (e.kind == plat::DeliveredEvent::Kind::Click && e.label == PanelLabel::Exit) writer_.end(g);
}

void Recorder::after(Game& g, const plat::DeliveredEvent& e, bool reached) {
    if (!file_ || !reached) return;  // a key the game no longer takes changes nothing
    using Kind = plat::DeliveredEvent::Kind;
    writer_.event(g, e.kind == Kind::Click ? rec::clickStep(e.label) : rec::keyStep(e.kind == Kind::KeyDown, e.code, e.shift));
    save(true);
    if (e.kind == Kind::Click && e.label == PanelLabel::Exit) close();
}

void Recorder::finish(Game& g) {
    if (!file_) return;
    writer_.end(g);
    save(true);
    close();
}

std::string Recorder::snapshot(Game& g) {
    save(true);
    if (!whole_) return {};
    std::ifstream in(base::pathFromUtf8(path_), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    rec::Writer ended = writer_;  // ends a copy; the recording goes on
    ended.end(g);
    return in ? text.str() + ended.take() : std::string();
}

void Recorder::save(bool flush) {
    if (!file_) return;
    const std::string lines = writer_.take();
    if ((!lines.empty() && std::fwrite(lines.data(), 1, lines.size(), file_) != lines.size()) ||
        (flush && std::fflush(file_) != 0))
        stop();
}

void Recorder::stop() {
    whole_ = false;
    std::fprintf(stderr, "hvezda: recording stopped, cannot write %s: %s\n", path_.c_str(), std::strerror(errno));
    std::fclose(file_);
    file_ = nullptr;
}

void Recorder::close() {
    if (file_ && std::fclose(file_) != 0) {
        file_ = nullptr;
        whole_ = false;
        std::fprintf(stderr, "hvezda: recording stopped, cannot write %s: %s\n", path_.c_str(), std::strerror(errno));
    }
    file_ = nullptr;
}

}  // namespace app
