#include <gtest/gtest.h>

#include "platform/keymap.h"

namespace {

int vk(SDL_Keycode key, SDL_Scancode sc) { return plat::virtualKey(key, sc); }
int vk(SDL_Scancode sc) { return plat::virtualKey(SDL_SCANCODE_TO_KEYCODE(sc), sc); }

TEST(KeyMap, TheGamesKeys) {
    EXPECT_EQ(vk(SDLK_LEFT, SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(vk(SDLK_UP, SDL_SCANCODE_UP), 38);
    EXPECT_EQ(vk(SDLK_RIGHT, SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(vk(SDLK_DOWN, SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(vk(SDLK_x, SDL_SCANCODE_X), 88);
    EXPECT_EQ(vk(SDLK_c, SDL_SCANCODE_C), 67);
}

TEST(KeyMap, LettersFollowTheLayoutDigitsThePlace) {
    EXPECT_EQ(vk(SDLK_a, SDL_SCANCODE_A), 65);
    EXPECT_EQ(vk(SDLK_z, SDL_SCANCODE_Z), 90);
    // A QWERTZ board: the key in Y's place types Z and is VK_Z.
    EXPECT_EQ(vk(SDLK_z, SDL_SCANCODE_Y), 90);
    EXPECT_EQ(vk(SDLK_y, SDL_SCANCODE_Z), 89);
    // A non-Latin layout keeps the letter of the place.
    EXPECT_EQ(vk(0x447 /* ч */, SDL_SCANCODE_X), 88);
    // A letter's place that types punctuation is that punctuation key.
    EXPECT_EQ(vk(SDLK_COMMA, SDL_SCANCODE_M), 188);
    // The Czech digit row types letters with diacritics and is still 0-9.
    EXPECT_EQ(vk(0x11B /* ě */, SDL_SCANCODE_2), 50);
    EXPECT_EQ(vk(SDLK_PLUS, SDL_SCANCODE_1), 49);
    EXPECT_EQ(vk(0xE9 /* é */, SDL_SCANCODE_0), 48);
}

TEST(KeyMap, TheRestOfTheKeyboard) {
    EXPECT_EQ(vk(SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_ENTER), 13);
    EXPECT_EQ(vk(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(vk(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(vk(SDL_SCANCODE_BACKSPACE), 8);
    EXPECT_EQ(vk(SDL_SCANCODE_TAB), 9);
    EXPECT_EQ(vk(SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(vk(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(vk(SDL_SCANCODE_LCTRL), 17);
    EXPECT_EQ(vk(SDL_SCANCODE_RCTRL), 17);
    EXPECT_EQ(vk(SDL_SCANCODE_LALT), 18);
    EXPECT_EQ(vk(SDL_SCANCODE_RALT), 18);
    EXPECT_EQ(vk(SDL_SCANCODE_F1), 112);
    EXPECT_EQ(vk(SDL_SCANCODE_F12), 123);
    EXPECT_EQ(vk(SDL_SCANCODE_INSERT), 45);
    EXPECT_EQ(vk(SDL_SCANCODE_DELETE), 46);
    EXPECT_EQ(vk(SDL_SCANCODE_HOME), 36);
    EXPECT_EQ(vk(SDL_SCANCODE_END), 35);
    EXPECT_EQ(vk(SDL_SCANCODE_PAGEUP), 33);
    EXPECT_EQ(vk(SDL_SCANCODE_PAGEDOWN), 34);
    EXPECT_EQ(vk(SDL_SCANCODE_0), 48);
    EXPECT_EQ(vk(SDL_SCANCODE_9), 57);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_0), 96);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_5), 101);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_9), 105);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_MULTIPLY), 106);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_PLUS), 107);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_MINUS), 109);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_PERIOD), 110);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_DIVIDE), 111);
    EXPECT_EQ(vk(SDL_SCANCODE_SEMICOLON), 186);
    EXPECT_EQ(vk(SDL_SCANCODE_EQUALS), 187);
    EXPECT_EQ(vk(SDL_SCANCODE_COMMA), 188);
    EXPECT_EQ(vk(SDL_SCANCODE_MINUS), 189);
    EXPECT_EQ(vk(SDL_SCANCODE_PERIOD), 190);
    EXPECT_EQ(vk(SDL_SCANCODE_SLASH), 191);
    EXPECT_EQ(vk(SDL_SCANCODE_GRAVE), 192);
    EXPECT_EQ(vk(SDL_SCANCODE_LEFTBRACKET), 219);
    EXPECT_EQ(vk(SDL_SCANCODE_BACKSLASH), 220);
    EXPECT_EQ(vk(SDL_SCANCODE_RIGHTBRACKET), 221);
    EXPECT_EQ(vk(SDL_SCANCODE_APOSTROPHE), 222);
    EXPECT_EQ(vk(SDL_SCANCODE_UNKNOWN), 0);
}

TEST(KeyMap, ModifiersMakeTheShiftState) {
    EXPECT_EQ(plat::shiftState(KMOD_NONE), 0);
    EXPECT_EQ(plat::shiftState(KMOD_LSHIFT), 1);
    EXPECT_EQ(plat::shiftState(KMOD_RSHIFT), 1);
    EXPECT_EQ(plat::shiftState(KMOD_LCTRL), 2);
    EXPECT_EQ(plat::shiftState(KMOD_RCTRL), 2);
    EXPECT_EQ(plat::shiftState(KMOD_LALT), 4);
    EXPECT_EQ(plat::shiftState(KMOD_RALT), 4);
    EXPECT_EQ(plat::shiftState(KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT), 7);
    // Lock keys are no modifiers.
    EXPECT_EQ(plat::shiftState(KMOD_CAPS | KMOD_NUM), 0);
    EXPECT_EQ(plat::shiftState(KMOD_CAPS | KMOD_LCTRL), 2);
}

}  // namespace
