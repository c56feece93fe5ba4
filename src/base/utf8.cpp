// SPDX-License-Identifier: MIT
#include "base/utf8.h"

namespace base {

int utf8Length(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int n = 0;
    unsigned lowest = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) n = 1, lowest = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) n = 2, lowest = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 3, lowest = 0x10000;
    else return 0;
    unsigned code = c & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
        if (i + k == s.size()) return -1;
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = code << 6 | (next & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n + 1;
}

std::string printableLine(std::string_view s, size_t longest) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const int n = utf8Length(s, i);
        const std::string_view piece = n > 0 ? s.substr(i, static_cast<size_t>(n)) : std::string_view("?");
        if (out.size() + piece.size() > longest) break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (n == 1 && (c < 0x20 || c == 0x7F)) out += ' ';
        else out += piece;
        i += n > 0 ? static_cast<size_t>(n) : 1;
    }
    return out;
}

size_t utf8Count(std::string_view s) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++count) {
        const int n = utf8Length(s, i);
        i += n > 0 ? static_cast<size_t>(n) : 1;
    }
    return count;
}

}  // namespace base
