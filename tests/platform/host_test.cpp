// SPDX-License-Identifier: MIT
// The pieces of the window, the keyboard and the host that need no display.
#include <gtest/gtest.h>

#include <set>

#include "app/host.h"
#include "platform/clock_random.h"
#include "platform/keymap.h"
#include "platform/window.h"
#include "scene/random.h"

using namespace hvezda;

namespace {

TEST(Host, ProgramFolderLosesItsTrailingSeparatorExceptAtTheRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/hvezda/", "/opt/hvezda"}, {"/opt/hvezda//", "/opt/hvezda"}, {"//", "/"}, {nullptr, "."}, {"", "."}};
    for (auto [base, folder] : cases) EXPECT_EQ(app::folderFromBasePath(base), folder) << (base ? base : "null");
}

// The scale keeps the size of a 96 dpi screen, and never outgrows the display.
TEST(Window, ScaleKeepsTheSizeOfA96DpiScreen) {
    const struct {
        int w, h, dpi, scale;
    } cases[] = {{1920, 1040, -1, 1}, {3840, 2160, -1, 2}, {3840, 2112, -1, 1}, {3840, 2112, 192, 2},
                 {7680, 4320, -1, 4}, {800, 600, -1, 1},   {1920, 1080, 288, 1}, {1300, 2160, -1, 1}};
    for (const auto& c : cases) EXPECT_EQ(plat::scaleFactor(c.w, c.h, c.dpi), c.scale) << c.w << "x" << c.h << "@" << c.dpi;
}

TEST(ClockRandom, GamesStartedInOneInstantGetTheirOwnSeeds) {
    // F2 twice in a frame still gives two games their own luck.
    std::set<uint64_t> seeds;
    for (int i = 0; i < 1000; ++i) seeds.insert(plat::clockSeed());
    EXPECT_EQ(seeds.size(), 1000u);
}

// SDL keys to the virtual-key codes the game's handlers read, and modifiers to its shift state.
TEST(KeyMap, KeysBecomeVirtualKeyCodes) {
    const struct {
        SDL_Keycode key;  // 0: the key its place types on a US board
        SDL_Scancode place;
        int vk;
    } keys[] = {
        // The game's own keys.
        {SDLK_LEFT, SDL_SCANCODE_LEFT, 37}, {SDLK_UP, SDL_SCANCODE_UP, 38}, {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, 40}, {SDLK_x, SDL_SCANCODE_X, 88},   {SDLK_c, SDL_SCANCODE_C, 67},
        // Letters follow the layout: on a QWERTZ board the key in Y's place is Z.
        {SDLK_z, SDL_SCANCODE_Y, 90}, {SDLK_y, SDL_SCANCODE_Z, 89},
        {0x447 /* ч */, SDL_SCANCODE_X, 88},    // a non-Latin layout keeps the place's letter
        {SDLK_COMMA, SDL_SCANCODE_M, 188},      // a letter's place typing punctuation
        // The Czech digit row types letters with diacritics and is still 0-9.
        {0x11B /* ě */, SDL_SCANCODE_2, 50}, {SDLK_PLUS, SDL_SCANCODE_1, 49}, {0xE9 /* é */, SDL_SCANCODE_0, 48},
        // The rest of the keyboard, by place (a sample of each block).
        {0, SDL_SCANCODE_RETURN, 13}, {0, SDL_SCANCODE_KP_ENTER, 13}, {0, SDL_SCANCODE_SPACE, 32},
        {0, SDL_SCANCODE_RSHIFT, 16}, {0, SDL_SCANCODE_RCTRL, 17},     {0, SDL_SCANCODE_RALT, 18},
        {0, SDL_SCANCODE_F12, 123},   {0, SDL_SCANCODE_PAGEDOWN, 34},  {0, SDL_SCANCODE_KP_9, 105},
        {0, SDL_SCANCODE_KP_DIVIDE, 111}, {0, SDL_SCANCODE_SEMICOLON, 186}, {0, SDL_SCANCODE_APOSTROPHE, 222},
        {0, SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& k : keys) {
        const SDL_Keycode key = k.key ? k.key : SDL_SCANCODE_TO_KEYCODE(k.place);
        EXPECT_EQ(plat::virtualKey(key, k.place), k.vk) << SDL_GetScancodeName(k.place) << " typing " << key;
    }
}

TEST(KeyMap, ModifiersMakeTheShiftState) {
    const std::pair<int, int> mods[] = {
        {KMOD_NONE, 0}, {KMOD_LSHIFT, 1}, {KMOD_RSHIFT, 1}, {KMOD_LCTRL, 2}, {KMOD_RCTRL, 2},
        {KMOD_LALT, 4}, {KMOD_RALT, 4},   {KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT, 7},
        {KMOD_CAPS | KMOD_NUM, 0}, {KMOD_CAPS | KMOD_LCTRL, 2},  // lock keys are no modifiers
    };
    for (auto [mod, state] : mods) EXPECT_EQ(plat::shiftState(static_cast<Uint16>(mod)), state) << mod;
}

}  // namespace
