// hvezda: the game in its window.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/host.h"
#include "musicplayer/modplug.h"
#include "platform/clock_random.h"
#include "platform/draw.h"
#include "platform/frames.h"
#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/realtime.h"
#include "platform/window.h"
#include "shell/shell.h"
#ifdef HVEZDA_HAVE_OPENMPT
#include "musicplayer/openmpt_backend.h"
#endif

using namespace hvezda;

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "hvezda: %s\n", why.c_str());
    return 1;
}

// Runs the game in an open window until EXIT (or the desktop) closes it.
void play(Game& game, plat::GameWindow& window, plat::FontCache& fonts, app::HostWindows& windows) {
    plat::Painter painter(window.renderer, fonts, plat::embeddedPictures());
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
#ifdef HVEZDA_HAVE_OPENMPT
    setPlayerBackend(&openmptPlayerBackend());
#endif
    setPlayerReport([](const std::string& line) { std::fprintf(stderr, "hvezda: %s\n", line.c_str()); });

    play(game, *window, fonts, windows);

    // The loop ends only through EXIT, which has already released the music.
    // The game window goes first: hiding it posts an event, and SDL may wake
    // its event wait through the hidden Form2, which must still exist then
    // (a message to a destroyed window is a fatal X error).
    plat::closeGameWindow(*window);
    // That wake-up travels on a second X connection, so it can still reach
    // the server after Form2's destruction on the first: a busy machine
    // showed it. A moment's pause lets the server take it first.
    SDL_Delay(50);
    if (windows.form2) SDL_DestroyWindow(windows.form2);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = app::readGameCommandLine(argc, argv)) return *status;
    if (TTF_Init() != 0) return fail(std::string("cannot start the font renderer: ") + TTF_GetError());
    const int status = run();  // every font is closed when it returns
    TTF_Quit();
    plat::releaseFontLookup();
    SDL_Quit();
    return status;
}
