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

bool isControl(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c == 0x7F) return true;  // C0 and DEL
    return c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) <= 0x9F;  // C1: U+0080 to U+009F
}

bool printable(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const int n = utf8Length(s, i);
        if (n <= 0 || isControl(s, i)) return false;
        i += static_cast<size_t>(n);
    }
    return true;
}

std::string visible(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const int n = utf8Length(s, i);
        const size_t length = n > 0 ? static_cast<size_t>(n) : 1;
        if (n > 0 && !isControl(s, i)) {
            out.append(s.substr(i, length));
        } else {
            for (size_t k = 0; k < length; ++k) {
                const auto c = static_cast<unsigned char>(s[i + k]);
                out += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
            }
        }
        i += length;
    }
    return out;
}

std::string printableLine(std::string_view s, size_t longest) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const int n = utf8Length(s, i);
        const std::string_view piece = n > 0 ? s.substr(i, static_cast<size_t>(n)) : std::string_view("?");
        if (out.size() + piece.size() > longest) break;
        if (n > 0 && isControl(s, i)) out += ' ';
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
