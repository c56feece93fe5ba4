// SPDX-License-Identifier: MIT
// The keyboard as the game knows it: desktop virtual-key codes and a
// shift state (Shift 1, Ctrl 2, Alt 4).
#pragma once

#include <SDL_keyboard.h>

namespace platform {

// The virtual-key code for an SDL key, 0 for keys that have none.
// Letters follow the keyboard layout (the key that types X is VK 88, wherever
// it sits), falling back to the key's position for layouts whose letters are
// not Latin; the digit row, the numpad and the rest go by position.
int virtualKey(SDL_Keycode key, SDL_Scancode scancode);
// Shift 1, Ctrl 2, Alt 4, either side.
int shiftState(Uint16 mod);

}  // namespace platform
