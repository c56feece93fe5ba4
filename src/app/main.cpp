// hvezda: the game in its window.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <string>

#include "app/host.h"
#include "platform/clock_random.h"
#include "platform/sdl_canvas.h"
#include "platform/frames.h"
#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/realtime.h"
#include "platform/window.h"
#include "shell/shell.h"
#include "musicplayer/modplug.h"

using namespace hvezda;

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "hvezda: %s\n", why.c_str());
    return 1;
}

// Runs the game in an open window until EXIT (or the desktop) closes it.
void play(Game& game, plat::GameWindow& window, plat::FontCache& fonts, app::HostWindows& windows) {
    plat::SdlCanvas canvas(window.renderer, fonts, plat::embeddedPictures());
    plat::Painter painter(canvas);
    plat::InputRouter input(game, window.id);
    plat::Frames frames(window.renderer, painter);
    auto present = [&] { frames.present(game.scene, input.takeRedrawRequest()); };

    Form_Load(game);
    present();
    SDL_ShowWindow(window.window);
    SDL_RaiseWindow(window.window);

    auto running = [&] { return !windows.closed && game.scene.Form1.open; };
    plat::LoopStats stats;
    plat::runLoop(game, plat::sdlLoopServices(input, present, running), stats);
}

int run() {
    Game game;

    // Fonts first: they need no display, and without them nothing can be read.
    plat::FontCache fonts;
    if (const std::string why = fonts.openSceneFonts(game.scene); !why.empty())
        return fail(why + "; install a TrueType font (Debian: fonts-dejavu-core)");

    std::string why;
    auto window = plat::openGameWindow(why);
    if (!window) return fail(why);

    app::HostWindows windows;
    game.host = app::makeHost(windows);
    game.random.seed = plat::clockSeed();
    if (!choosePlayerBackend("real"))
        std::fprintf(stderr, "hvezda: this build has no \"real\" music; the game plays silently\n");

    play(game, *window, fonts, windows);

    // The loop ends only through EXIT, which has already released the music.
    // A wake-up SDL sent to Form2 may still reach the server after this
    // (platform/x11_wakeups.h); it no longer matters.
    plat::closeGameWindow(*window);
    if (windows.form2) SDL_DestroyWindow(windows.form2);
    return 0;
}

}  // namespace

int main(int, char**) {
    if (TTF_Init() != 0) return fail(std::string("cannot start the font renderer: ") + TTF_GetError());
    const int status = run();  // every font is closed when it returns
    TTF_Quit();
    plat::releaseFontLookup();
    SDL_Quit();
    return status;
}
