// SPDX-License-Identifier: MIT
#include "platform/keymap.h"

namespace platform {

namespace {

int byPosition(SDL_Scancode sc) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return 124 + (sc - SDL_SCANCODE_F13);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 97 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_KP_0: return 96;
        case SDL_SCANCODE_LEFT: return 37;
        case SDL_SCANCODE_UP: return 38;
        case SDL_SCANCODE_RIGHT: return 39;
        case SDL_SCANCODE_DOWN: return 40;
        case SDL_SCANCODE_BACKSPACE: return 8;
        case SDL_SCANCODE_TAB: return 9;
        case SDL_SCANCODE_KP_CLEAR:
        case SDL_SCANCODE_CLEAR: return 12;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_RETURN2:
        case SDL_SCANCODE_KP_ENTER: return 13;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return 16;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return 17;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return 18;
        case SDL_SCANCODE_PAUSE: return 19;
        case SDL_SCANCODE_CAPSLOCK: return 20;
        case SDL_SCANCODE_ESCAPE: return 27;
        case SDL_SCANCODE_SPACE: return 32;
        case SDL_SCANCODE_PAGEUP: return 33;
        case SDL_SCANCODE_PAGEDOWN: return 34;
        case SDL_SCANCODE_END: return 35;
        case SDL_SCANCODE_HOME: return 36;
        case SDL_SCANCODE_SELECT: return 41;
        case SDL_SCANCODE_EXECUTE: return 43;
        case SDL_SCANCODE_PRINTSCREEN: return 44;
        case SDL_SCANCODE_INSERT: return 45;
        case SDL_SCANCODE_DELETE: return 46;
        case SDL_SCANCODE_HELP: return 47;
        case SDL_SCANCODE_LGUI: return 91;
        case SDL_SCANCODE_RGUI: return 92;
        case SDL_SCANCODE_APPLICATION: return 93;
        case SDL_SCANCODE_SLEEP: return 95;
        case SDL_SCANCODE_KP_MULTIPLY: return 106;
        case SDL_SCANCODE_KP_PLUS: return 107;
        case SDL_SCANCODE_SEPARATOR:
        case SDL_SCANCODE_KP_COMMA: return 108;
        case SDL_SCANCODE_KP_MINUS: return 109;
        case SDL_SCANCODE_KP_PERIOD:
        case SDL_SCANCODE_KP_DECIMAL: return 110;
        case SDL_SCANCODE_KP_DIVIDE: return 111;
        case SDL_SCANCODE_NUMLOCKCLEAR: return 144;
        case SDL_SCANCODE_SCROLLLOCK: return 145;
        // Punctuation: the codes of the keys' places on a US board.
        case SDL_SCANCODE_SEMICOLON: return 186;
        case SDL_SCANCODE_EQUALS: return 187;
        case SDL_SCANCODE_COMMA: return 188;
        case SDL_SCANCODE_MINUS: return 189;
        case SDL_SCANCODE_PERIOD: return 190;
        case SDL_SCANCODE_SLASH: return 191;
        case SDL_SCANCODE_GRAVE: return 192;
        case SDL_SCANCODE_LEFTBRACKET: return 219;
        case SDL_SCANCODE_BACKSLASH: return 220;
        case SDL_SCANCODE_RIGHTBRACKET: return 221;
        case SDL_SCANCODE_APOSTROPHE: return 222;
        case SDL_SCANCODE_NONUSBACKSLASH: return 226;
        case SDL_SCANCODE_NONUSHASH: return 220;
        case SDL_SCANCODE_MUTE:
        case SDL_SCANCODE_AUDIOMUTE: return 173;
        case SDL_SCANCODE_VOLUMEDOWN: return 174;
        case SDL_SCANCODE_VOLUMEUP: return 175;
        case SDL_SCANCODE_AUDIONEXT: return 176;
        case SDL_SCANCODE_AUDIOPREV: return 177;
        case SDL_SCANCODE_AUDIOSTOP: return 178;
        case SDL_SCANCODE_AUDIOPLAY: return 179;
        default: return 0;
    }
}

int byCharacter(SDL_Keycode key) {
    switch (key) {
        case ';': return 186;
        case '=': return 187;
        case ',': return 188;
        case '-': return 189;
        case '.': return 190;
        case '/': return 191;
        case '`': return 192;
        case '[': return 219;
        case '\\': return 220;
        case ']': return 221;
        case '\'': return 222;
        default: return 0;
    }
}

}  // namespace

int virtualKey(SDL_Keycode key, SDL_Scancode scancode) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    // A letter's place that types punctuation in this layout is that
    // punctuation key; one that types a non-Latin letter keeps its place.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z && key > 0 && key < 128)
        if (const int vk = byCharacter(key)) return vk;
    return byPosition(scancode);
}

int shiftState(Uint16 mod) {
    int state = 0;
    if (mod & KMOD_SHIFT) state |= 1;
    if (mod & KMOD_CTRL) state |= 2;
    if (mod & KMOD_ALT) state |= 4;
    return state;
}

}  // namespace platform
