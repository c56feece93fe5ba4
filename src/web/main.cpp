// SPDX-License-Identifier: MIT
// hvezda in a browser page: the game's own session, comforts and recorder,
// driven by the browser's animation frames (platform/frame_loop.h) instead of
// a loop that waits. What only a page can do -- fullscreen, downloads, keeping
// the files in the browser's storage -- is the page's (src/web/page.js); the
// functions here marked EMSCRIPTEN_KEEPALIVE are what it calls.
#include <SDL.h>
#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/comforts.h"
#include "app/hall.h"
#include "app/recorder.h"
#include "app/session.h"
#include "base/files.h"
#include "musicplayer/openmpt_backend.h"
#include "platform/folders.h"
#include "platform/frame_loop.h"
#include "platform/realtime.h"
#include "platform/settings.h"
#include "platform/snapshot.h"
#include "page_replay.h"
#include "record/fields.h"
#include "record/replay.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;

// The page's side (page.js): each does nothing when the page lacks it.
EM_JS(void, pageCall, (const char* what, const char* a, const char* b), {
    var page = Module['page'];
    var f = page && page[UTF8ToString(what)];
    if (f) f(UTF8ToString(a), UTF8ToString(b));
});

// What the page hands the game (Module.page[what]()), as text; empty when
// the page has nothing of that name.
EM_JS(char*, pageAsk, (const char* what), {
    var page = Module['page'];
    var f = page && page[UTF8ToString(what)];
    return stringToNewUTF8((f && f()) || "");
});

namespace {

std::string askPage(const char* what) {
    char* text = pageAsk(what);
    std::string s = text ? text : "";
    std::free(text);
    return s;
}

struct WebGame {
    Game game;
    plat::Settings settings;
    std::string settingsFile;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<app::Recorder> recorder;
    std::unique_ptr<app::HallKeeper> hall;
    std::unique_ptr<plat::FrameLoop> loop;
    plat::LoopStats stats;
    plat::LoopProbe probe;
    uint64_t timer1Ticks = 0;
    std::unique_ptr<webreplay::PageReplay> replay;  // ?replay=ID: a game from the hall of fame played back
    double replayStartMs = 0;
};
// Made once and never freed: the browser keeps calling back after main returns.
WebGame* web = nullptr;

// When the first event waiting in SDL's queue arrived, on the loop's clock;
// a gamepad's repeat counts as an event due at its time.
int64_t nextEventNs() {
    SDL_Event e;
    int64_t at = web->session->input().nextRepeatNs();
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        // Event times are SDL's milliseconds: counted back from now.
        const int64_t ago = static_cast<int64_t>(SDL_GetTicks64()) - static_cast<int64_t>(e.common.timestamp);
        at = std::min(at, plat::monotonicNs() - std::max<int64_t>(0, ago) * 1'000'000);
    }
    return at;
}

void end() {
    emscripten_cancel_main_loop();
    web->hall->gameLeft(web->game);
    web->recorder->finish(web->game);
    web->session->input().watch(nullptr);
    web->loop.reset();
    web->session.reset();  // the window and the music go with SDL
    pageCall("ended", "", "");
}

// A frame of a replay: the steps due by now, then the scene. The page hears
// how it went when it is over.
void replayFrame() {
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    const bool going = web->replay->runUntil(static_cast<int64_t>(emscripten_get_now() - web->replayStartMs));
    web->session->present();
    if (going) return;
    emscripten_cancel_main_loop();
    const rec::Verdict& v = web->replay->verdict();
    std::fprintf(v.status == rec::Verdict::Verified ? stdout : stderr, "hvezda: %s\n", v.message.c_str());
    pageCall("replayed", v.status == rec::Verdict::Verified ? "verified" : "failed", v.message.c_str());
}

void frame() {
    SDL_PumpEvents();
    if (!web->loop->frame(web->stats, web->probe)) end();
}

// The platform's keys that a page does its own way.
void pageActions() {
    plat::InputRouter& input = web->session->input();
    input.onAction = [desktop = std::move(input.onAction)](plat::Action a) {
        if (a == plat::Action::Fullscreen) return pageCall("fullscreen", "", "");
        if (a != plat::Action::Screenshot) return desktop(a);
        // A download instead of a file in the pictures folder.
        const std::string file = plat::screenshotFile("/tmp", std::time(nullptr));
        const std::string why = plat::saveScenePng(web->game.scene, web->session->fonts(), file);
        if (!why.empty()) return (void)std::fprintf(stderr, "hvezda: no screenshot: %s\n", why.c_str());
        pageCall("download", file.c_str(), "image/png");
        std::remove(file.c_str());
    };
}

}  // namespace

extern "C" {

// `get TARGET` as the driver prints it, for the page's tests and bug reports.
EMSCRIPTEN_KEEPALIVE const char* hvezda_get(const char* target) {
    static std::string value;
    std::string error;
    rec::Target t;
    value = rec::findTarget(web->game, target, t, error) ? rec::readTarget(web->game, t) : "error: " + error;
    return value.c_str();
}

// What the loop has done so far: "TIMER1-TICKS INSTANTS FRAMES REBASES".
EMSCRIPTEN_KEEPALIVE const char* hvezda_loop_counts() {
    static std::string counts;
    const plat::LoopStats& s = web->stats;
    counts = std::to_string(web->timer1Ticks) + " " + std::to_string(s.instants) + " " + std::to_string(s.presents) +
             " " + std::to_string(s.rebases);
    return counts.c_str();
}

// Where the page finds the files it keeps and offers: the settings file and
// the recordings' folder, one a line.
EMSCRIPTEN_KEEPALIVE const char* hvezda_files() {
    static std::string files;
    std::string error;
    files = web->settingsFile + "\n" + plat::folder(plat::Folder::Recordings, false, error);
    return files.c_str();
}

// What the page shows for editing when there is no settings file yet: every
// setting in force with its comment, as --write-settings writes the file.
EMSCRIPTEN_KEEPALIVE const char* hvezda_settings_text() {
    static std::string text;
    text = plat::settingsText(web->settings);
    return text.c_str();
}

// Replaces the settings file with `text`; the problems in it, one a line,
// as the game reports them at start-up (or why it could not be written). The
// music's volume changes at once, the rest at the next start.
EMSCRIPTEN_KEEPALIVE const char* hvezda_save_settings(const char* text) {
    static std::string said;
    said = base::writeFileAtomically(web->settingsFile, text);
    if (!said.empty()) return said.c_str();
    std::vector<std::string> problems;
    const int volume = plat::loadSettings(web->settingsFile, problems).musicVolume;
    if (web->game.host.player) web->game.host.player->setVolume(volume);
    for (const std::string& p : problems) said += (said.empty() ? "" : "\n") + p;
    return said.c_str();
}

}  // extern "C"

int main(int argc, char** argv) {
    // Emscripten starts with a mask that leaves new files unreadable; this is
    // the usual one.
    umask(022);
    web = new WebGame;
    Game& game = web->game;
    app::SessionOptions options;
    // Each game's luck: a seed of its own from the clock; index.html?seed=N
    // gives the first game the seed N (a game anyone can fly again), and
    // ?daily every game today's seed, as hvezda --daily does.
    // Otherwise a game takes the open seed the page fetched ahead from the
    // hall of fame that serves it, when there is one (hall_client.js).
    app::SeedSource seeds = [] {
        const std::string open = askPage("nextSeed");
        return open.empty() ? app::seedFromClock() : rec::GameSeed{std::strtoull(open.c_str(), nullptr, 10), {}};
    };
    if (argc == 2 && std::strcmp(argv[1], "--daily") == 0) seeds = app::seedOfToday;
    if (argc == 3 && std::strcmp(argv[1], "--seed") == 0) {
        seeds = [first = std::strtoull(argv[2], nullptr, 10), taken = false]() mutable {
            if (taken) return app::seedFromClock();
            taken = true;
            return rec::GameSeed{first, {}};
        };
    }
    web->settingsFile = plat::settingsPath();
    std::vector<std::string> problems;
    web->settings = plat::loadSettings(web->settingsFile, problems);
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    // The page scales the canvas itself; fullscreen is the page's.
    options.players = {&kRealPlayer, 1};
    options.window = {1, false, false};
    options.input = plat::inputOptions(web->settings);
    std::string why;
    web->session = app::Session::open(game, options, why);
    if (!web->session) {
        pageCall("failed", why.c_str(), "");
        return 1;
    }
    // A page has one window, its canvas: the music player is handed the game
    // window's number instead of a hidden window of its own.
    game.host.form2Handle = [] { return static_cast<int32_t>(web->session->window().id); };
    web->recorder = std::make_unique<app::Recorder>(std::string{}, web->settings.name, std::move(seeds));
    // The hall of fame lives in the browser's storage with the recordings.
    std::string hallError;
    web->hall = std::make_unique<app::HallKeeper>(plat::folder(plat::Folder::Hall, false, hallError),
                                                  web->recorder.get(), [] { web->session->input().openBoard(); });
    // Each ended game goes to the page, which sends it to the public hall of
    // fame when the player asked for that (hall_client.js).
    web->hall->onEnded = [](const std::string& recording) { pageCall("gameEnded", recording.c_str(), ""); };
    app::addComforts(*web->session, game, web->settings, web->recorder.get(), web->hall.get());
    pageActions();
    game.onTick = [](Game&, TimerId id) { web->timer1Ticks += id == TimerId::Timer1; };

    // ?replay=ID: the page fetched a recording from the hall of fame.
    if (const std::string recording = askPage("replayRecording"); !recording.empty()) {
        Game scratch;
        std::istringstream in(recording);
        const rec::Verdict v = rec::checkRecording(scratch, in, rec::RecordingLimits{});
        if (v.status != rec::Verdict::Verified) {
            pageCall("failed", ("the recording cannot be replayed: " + v.message).c_str(), "");
            return 1;
        }
        Form_Load(game);
        web->replay = std::make_unique<webreplay::PageReplay>(game, recording);
        web->session->present(true);
        web->session->show();
        pageCall("firstFrame", "", "");
        web->replayStartMs = emscripten_get_now();
        emscripten_set_main_loop(replayFrame, 0, false);
        return 0;
    }

    web->recorder->start(game);
    web->session->input().watch(web->recorder.get());
    Form_Load(game);
    web->session->present();
    web->session->show();
    pageCall("firstFrame", "", "");
    // A browser's frames come late more often than a desktop loop's wake-ups
    // (a busy page, its garbage collector): ticks missed for up to a second
    // still run, on their grid, and only a longer gap (a page the browser put
    // to sleep) counts as a stall after which the rhythm starts again.
    plat::LoopTuning tuning;
    tuning.stallNs = 1'000'000'000;
    web->loop = std::make_unique<plat::FrameLoop>(game, web->session->loopServices(), nextEventNs, tuning);
    web->probe.onInstant = [](int64_t, int64_t, int64_t) {
        web->recorder->onInstant(web->game);
        web->hall->onInstant(web->game);
    };
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
