// SPDX-License-Identifier: MIT
// Breaking a label's caption into lines that fit its width.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace draw {

using MeasureText = std::function<int(std::string_view utf8)>;

// Greedy word wrap at blanks. A run of blanks is never collapsed: inside a
// line it stays as it is, and where a line breaks the whole run stays at the
// end of that line (it hangs past the width, where it is invisible) so the
// next line starts with the next word. A word wider than the whole width is
// broken between characters (UTF-8 aware) rather than lost. "\n" and "\r\n"
// break lines too.
std::vector<std::string> wrapText(std::string_view text, int width, const MeasureText& measure);

// Length in bytes of the UTF-8 character that starts with byte c (1 for
// stray continuation bytes, so malformed text still advances).
size_t utf8CharLength(unsigned char c);

}  // namespace draw
