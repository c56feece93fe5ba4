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

#include "app/played_game.h"
#include "base/files.h"
#include "musicplayer/openmpt_backend.h"
#include "platform/folders.h"
#include "platform/frame_loop.h"
#include "platform/frames.h"
#include "platform/monotonic.h"
#include "platform/realtime.h"
#include "platform/settings.h"
#include "draw/snapshot.h"
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

// Puts the rectangles of a frame drawn in part on the canvas straight from
// the window's surface (SDL's framebuffer: 4 bytes a pixel, red first, the
// last opaque, see sendRects), read in place through an image over the
// program's memory: nothing is copied on the way. SDL itself would copy and
// put the whole frame, 60 times a second. Returns 0 until SDL has shown a
// first whole frame of this size.
EM_JS(int, putRects, (const uint8_t* pixels, int pitch, int width, int height, const int* rects, int count), {
    var SDL2 = Module['SDL2'];
    if (!SDL2 || !SDL2.ctx || !SDL2.image || SDL2.w !== width || SDL2.h !== height || pitch !== width * 4) return 0;
    // A new image when the memory grew (its old buffer is gone) or the surface moved.
    var image = SDL2.surfaceImage;
    if (!image || image.data.buffer !== HEAPU8.buffer || SDL2.surfacePixels !== pixels || image.width !== width ||
        image.height !== height) {
        image = SDL2.surfaceImage = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4),
                                                  width, height);
        SDL2.surfacePixels = pixels;
    }
    for (var i = 0; i < count; i++) {
        var r = (rects >> 2) + 4 * i;
        SDL2.ctx.putImageData(image, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2], HEAP32[r + 3]);
    }
    return 1;
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
    platform::Settings settings;
    std::string settingsFile;
    std::unique_ptr<app::PlayedGame> played;
    std::unique_ptr<platform::FrameLoop> loop;
    platform::LoopStats stats;
    uint64_t timer1Ticks = 0;
    std::unique_ptr<webreplay::PageReplay> replay;  // ?replay=ID: a game from the hall of fame played back
    double replayStartMs = 0;
    Game& game() { return played->game(); }
    app::Session& session() { return played->session(); }
};
// Made once and never freed: the browser keeps calling back after main returns.
WebGame* web = nullptr;

// When the first event waiting in SDL's queue arrived, on the loop's clock;
// a gamepad's repeat counts as an event due at its time.
int64_t nextEventNs() {
    SDL_Event e;
    int64_t at = web->session().input().nextRepeatNs();
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        // Event times are SDL's milliseconds: counted back from now.
        const int64_t ago = static_cast<int64_t>(SDL_GetTicks64()) - static_cast<int64_t>(e.common.timestamp);
        at = std::min(at, platform::monotonicNs() - std::max<int64_t>(0, ago) * 1'000'000);
    }
    return at;
}

// The frame's rectangles to the canvas. The canvas takes a pixel's fourth
// byte as its opacity; SDL leaves it unused, so it is made opaque here.
bool sendRects(SDL_Window* window, const SDL_Rect* rects, int count) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || surface->format->BytesPerPixel != 4) return false;
    for (int i = 0; i < count; ++i) {
        const SDL_Rect& r = rects[i];
        for (int y = r.y; y < r.y + r.h; ++y) {
            uint8_t* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + r.x * 4;
            for (int x = 0; x < r.w; ++x) row[4 * x + 3] = 255;
        }
    }
    static_assert(sizeof(SDL_Rect) == 4 * sizeof(int));
    return putRects(static_cast<const uint8_t*>(surface->pixels), surface->pitch, surface->w, surface->h,
                    reinterpret_cast<const int*>(rects), count) != 0;
}

void end() {
    emscripten_cancel_main_loop();
    web->played->finish();
    web->loop.reset();
    web->played->closeSession();  // the window and the music go with SDL; the game stays readable
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
    web->session().present();
    if (going) return;
    emscripten_cancel_main_loop();
    const record::Verdict& v = web->replay->verdict();
    std::fprintf(v.status == record::Verdict::Verified ? stdout : stderr, "hvezda: %s\n", v.message.c_str());
    pageCall("replayed", v.status == record::Verdict::Verified ? "verified" : "failed", v.message.c_str());
}

void frame() {
    SDL_PumpEvents();
    if (!web->loop->frame(web->stats)) end();
}

// The platform's keys that a page does its own way.
void pageActions() {
    platform::InputRouter& input = web->session().input();
    input.onAction = [desktop = std::move(input.onAction)](platform::Action a) {
        if (a == platform::Action::Fullscreen) return pageCall("fullscreen", "", "");
        if (a != platform::Action::Screenshot) return desktop(a);
        // A download instead of a file in the pictures folder.
        const std::string file = draw::screenshotFile("/tmp", std::time(nullptr));
        const std::string why = draw::saveScenePng(web->game().scene, web->session().fonts(), file);
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
    record::Target t;
    value = record::findTarget(web->game(), target, t, error) ? record::readTarget(web->game(), t) : "error: " + error;
    return value.c_str();
}

// What the loop has done so far: "TIMER1-TICKS INSTANTS FRAMES REBASES".
EMSCRIPTEN_KEEPALIVE const char* hvezda_loop_counts() {
    static std::string counts;
    const platform::LoopStats& s = web->stats;
    counts = std::to_string(web->timer1Ticks) + " " + std::to_string(s.instants) + " " + std::to_string(s.presents) +
             " " + std::to_string(s.rebases);
    return counts.c_str();
}

// Where the page finds the files it keeps and offers: the settings file and
// the recordings' folder, one a line.
EMSCRIPTEN_KEEPALIVE const char* hvezda_files() {
    static std::string files;
    std::string error;
    files = web->settingsFile + "\n" + platform::folder(platform::Folder::Recordings, false, error);
    return files.c_str();
}

// What the page shows for editing when there is no settings file yet: every
// setting in force with its comment, as --write-settings writes the file.
EMSCRIPTEN_KEEPALIVE const char* hvezda_settings_text() {
    static std::string text;
    text = platform::settingsText(web->settings);
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
    const int volume = platform::loadSettings(web->settingsFile, problems).musicVolume;
    if (web->game().host.player) web->game().host.player->setVolume(volume);
    for (const std::string& p : problems) said += (said.empty() ? "" : "\n") + p;
    return said.c_str();
}

}  // extern "C"

int main(int argc, char** argv) {
    // Emscripten starts with a mask that leaves new files unreadable; this is
    // the usual one.
    umask(022);
    web = new WebGame;
    app::PlayOptions options;
    // Each game's luck: a seed of its own from the clock; index.html?seed=N
    // gives the first game the seed N (a game anyone can fly again), and
    // ?daily every game today's seed, as hvezda --daily does.
    // Otherwise a game takes the open seed the page fetched ahead from the
    // hall of fame that serves it, when there is one (hall_client.js).
    options.seeds = [] {
        const std::string open = askPage("nextSeed");
        return open.empty() ? app::seedFromClock() : record::GameSeed{std::strtoull(open.c_str(), nullptr, 10), {}};
    };
    if (argc == 2 && std::strcmp(argv[1], "--daily") == 0) options.seeds = app::seedOfToday;
    if (argc == 3 && std::strcmp(argv[1], "--seed") == 0) {
        options.seeds = [first = std::strtoull(argv[2], nullptr, 10), taken = false]() mutable {
            if (taken) return app::seedFromClock();
            taken = true;
            return record::GameSeed{first, {}};
        };
    }
    web->settingsFile = platform::settingsPath();
    std::vector<std::string> problems;
    web->settings = platform::loadSettings(web->settingsFile, problems);
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    // The page scales the canvas itself; fullscreen is the page's.
    options.session.players = {&musicplayer::kRealPlayer, 1};
    options.session.window = {1, false, false};
    options.session.input = platform::inputOptions(web->settings);
    // The hall of fame lives in the browser's storage with the recordings.
    options.settings = web->settings;
    // ?replay=ID: a recording the page fetched; watched, not recorded.
    const std::string replayed = askPage("replayRecording");
    options.replay = !replayed.empty();
    std::string why;
    web->played = app::PlayedGame::open(options, why);
    if (!web->played) {
        pageCall("failed", why.c_str(), "");
        return 1;
    }
    Game& game = web->game();
    // A page has one window, its canvas: the music player is handed the game
    // window's number instead of a hidden window of its own.
    game.host.form2Handle = [] { return static_cast<int32_t>(web->session().window().id); };
    web->session().frames().setSender(sendRects);
    // Each ended game goes to the page, which sends it to the public hall of
    // fame when the player asked for that (hall_client.js).
    web->played->hall().onEnded = [](const std::string& recording) { pageCall("gameEnded", recording.c_str(), ""); };
    pageActions();
    game.onTick = [](Game&, TimerId id) { web->timer1Ticks += id == TimerId::Timer1; };

    // ?replay=ID: the page fetched a recording from the hall of fame.
    if (!replayed.empty()) {
        Game scratch;
        std::istringstream in(replayed);
        const record::Verdict v = record::checkRecording(scratch, in, record::RecordingLimits{});
        if (v.status != record::Verdict::Verified) {
            pageCall("failed", ("the recording cannot be replayed: " + v.message).c_str(), "");
            return 1;
        }
        Form_Load(game);
        web->replay = std::make_unique<webreplay::PageReplay>(game, replayed);
        web->session().present(true);
        web->session().show();
        pageCall("firstFrame", "", "");
        web->replayStartMs = emscripten_get_now();
        emscripten_set_main_loop(replayFrame, 0, false);
        return 0;
    }

    web->played->start();
    pageCall("firstFrame", "", "");
    // A browser's frames come late more often than a desktop loop's wake-ups
    // (a busy page, its garbage collector): ticks missed for up to a second
    // still run, on their grid, and only a longer gap (a page the browser put
    // to sleep) counts as a stall after which the rhythm starts again.
    platform::LoopTuning tuning;
    tuning.stallNs = 1'000'000'000;
    web->loop = std::make_unique<platform::FrameLoop>(game, web->played->loopServices(), nextEventNs, tuning);
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
