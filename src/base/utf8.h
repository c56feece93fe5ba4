// SPDX-License-Identifier: MIT
// UTF-8 text, read one character at a time.
#pragma once

#include <string>
#include <string_view>

namespace base {

// The length in bytes of the character that begins at s[i]: 1 to 4; 0 when
// the bytes there are not UTF-8 (overlong, a surrogate, past U+10FFFF); -1
// when s ends inside a character that began well.
int utf8Length(std::string_view s, size_t i);

// Whether the character at s[i] (UTF-8, s[i] its first byte) is a control
// character: C0, DEL or C1 (U+0080 to U+009F).
bool isControl(std::string_view s, size_t i);

// Whether the text is UTF-8 without a control character: safe to show on a
// terminal or in a window as it is.
bool printable(std::string_view s);

// The text with every control character and every byte that is not UTF-8
// written as \xHH (its bytes in hex): what a terminal shows of it is what
// it holds.
std::string visible(std::string_view s);

// The text with every control character a blank and every byte that is not
// UTF-8 a '?', cut to at most `longest` bytes at a character's end: fit for
// one line of a file.
std::string printableLine(std::string_view s, size_t longest);

// How many characters the text holds (each byte that is not UTF-8 counts as one).
size_t utf8Count(std::string_view s);

}  // namespace base
