// SPDX-License-Identifier: MIT
#include "app/session.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <optional>

#include "app/host.h"
#include "platform/clock_random.h"
#include "platform/draw.h"
#include "platform/fonts.h"
#include "platform/frames.h"
#include "platform/input.h"
#include "platform/realtime.h"
#include "platform/sdl_canvas.h"
#include "record/seed.h"

using namespace hvezda;

namespace app {

// In the order they open; they close in the reverse one.
struct Session::Parts {
    Game& game;
    bool fontRenderer = false;  // TTF_Init succeeded
    std::optional<plat::FontCache> fonts;
    std::optional<plat::GameWindow> window;
    HostWindows windows;
    bool musicAsAsked = false;
    std::optional<plat::SdlCanvas> canvas;
    std::optional<plat::Painter> painter;
    std::optional<plat::Frames> frames;
    std::optional<plat::InputRouter> input;
    plat::PointerHider pointer;
    int mouseX = -1, mouseY = -1;

    explicit Parts(Game& g) : game(g) {}

    ~Parts() {
        // The music goes while SDL still runs (its audio devices close).
        game.host.player.reset();
        // Whatever drew into the window goes before it. The windows go while
        // SDL still runs; the fonts before their renderer; SDL last, as it
        // closes the connection to the display.
        input.reset();
        frames.reset();
        painter.reset();
        canvas.reset();
        if (window) plat::closeGameWindow(*window);
        if (windows.form2) SDL_DestroyWindow(windows.form2);
        fonts.reset();
        if (fontRenderer) TTF_Quit();
        plat::releaseFontLookup();
        SDL_Quit();
    }
};

std::unique_ptr<Session> Session::open(Game& game, const SessionOptions& options, std::string& error) {
    auto parts = std::make_unique<Parts>(game);
    if (TTF_Init() != 0) {
        error = std::string("cannot start the font renderer: ") + TTF_GetError();
        return nullptr;
    }
    parts->fontRenderer = true;

    // Fonts first: they need no display, and without them nothing can be read.
    parts->fonts.emplace();
    if (const std::string why = parts->fonts->openSceneFonts(game.scene); !why.empty()) {
        error = why + "; install a TrueType font (Debian: fonts-liberation2)";
        return nullptr;
    }
    parts->window = plat::openGameWindow(error, options.window);
    if (!parts->window) return nullptr;
    if (!parts->window->warning.empty())
        std::fprintf(stderr, "%s: %s\n", options.program, parts->window->warning.c_str());
    // Without gamepads the keyboard still plays.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "%s: gamepads cannot be used: %s\n", options.program, SDL_GetError());

    game.host = makeHost(parts->windows);
    // Until a recorder hands it a game's own seed, the game draws from one taken now.
    game.random.seed = options.seed ? options.seed : rec::seedStream(plat::clockSeed());
    // The game never hears why the music is off; the player gets one line.
    game.host.player = makePlayer(
        options.music,
        [program = std::string(options.program)](const std::string& line) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), line.c_str());
        },
        options.players);
    parts->musicAsAsked = game.host.player != nullptr;
    if (!parts->musicAsAsked)
        std::fprintf(stderr, "%s: this build has no \"%s\" music; the game plays silently\n", options.program,
                     options.music);

    SDL_Renderer* renderer = parts->window->renderer;
    parts->canvas.emplace(renderer, *parts->fonts, plat::embeddedPictures());
    parts->painter.emplace(*parts->canvas);
    parts->frames.emplace(renderer, *parts->painter, parts->window->refreshNs > 0 && parts->window->presentWaits);
    parts->input.emplace(game, parts->window->id, options.input);
    return std::unique_ptr<Session>(new Session(std::move(parts)));
}

Session::Session(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

Session::~Session() = default;

void Session::show() {
    SDL_ShowWindow(parts_->window->window);
    SDL_RaiseWindow(parts_->window->window);
}

bool Session::present(bool force) { return parts_->frames->present(parts_->game.scene, force); }

plat::LoopServices Session::loopServices(std::function<bool()> more) {
    Parts& p = *parts_;
    auto present = [&p] { return p.frames->present(p.game.scene, p.input->takeRedrawRequest()); };
    auto running = [&p, more = std::move(more)] {
        return !p.windows.closed && p.game.scene.Form1.open && (!more || more());
    };
    auto pointer = [&p] {
        int x, y;
        SDL_GetMouseState(&x, &y);
        const int64_t now = plat::monotonicNs();
        if (x != p.mouseX || y != p.mouseY) p.pointer.moved(now);
        p.mouseX = x, p.mouseY = y;
        p.pointer.update(now, plat::isFullscreen(*p.window));
    };
    plat::LoopServices services = plat::sdlLoopServices(*p.input, present, running, pointer);
    services.refreshNs = p.window->refreshNs;
    services.presentWaits = p.window->presentWaits;
    return services;
}

const plat::GameWindow& Session::window() const { return *parts_->window; }
plat::GameWindow& Session::window() { return *parts_->window; }
const plat::Frames& Session::frames() const { return *parts_->frames; }
plat::Frames& Session::frames() { return *parts_->frames; }
plat::InputRouter& Session::input() { return *parts_->input; }
plat::FontCache& Session::fonts() { return *parts_->fonts; }
bool Session::musicAsAsked() const { return parts_->musicAsAsked; }

}  // namespace app
