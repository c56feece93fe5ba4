// SPDX-License-Identifier: MIT
// The floating-point std::to_chars and std::from_chars that the libc++ of
// Debian's emscripten (libc++ 13) lacks, in the forms the game uses: to_chars
// in fixed notation, from_chars in the general one. The browser build
// includes this into every C++ file (cmake/emscripten-web.cmake).
//
// to_chars gives the shortest fixed notation that reads back to the same
// value: printf's correctly rounded output with the fewest decimals that does.
#pragma once

#include <cerrno>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace std {

namespace hvezda_charconv {

template <typename T>
to_chars_result fixed(char* first, char* last, T value, T (*read)(const char*, char**)) {
    static char text[1600];  // the longest: DBL_MAX's 309 digits, or 1074 decimals
    for (int decimals = 0; decimals <= 1100; ++decimals) {
        const int n = snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
        if (n < 0 || n >= static_cast<int>(sizeof text)) break;
        if (value != value || read(text, nullptr) == value) {  // NaN reads back as nothing
            if (n > last - first) break;
            memcpy(first, text, static_cast<size_t>(n));
            return {first + n, errc{}};
        }
    }
    return {last, errc::value_too_large};
}

}  // namespace hvezda_charconv

inline to_chars_result to_chars(char* first, char* last, double value, chars_format) {
    return hvezda_charconv::fixed(first, last, value, strtod);
}

inline to_chars_result to_chars(char* first, char* last, float value, chars_format) {
    return hvezda_charconv::fixed(first, last, value, strtof);
}

// strtof reads more than from_chars does: no leading blanks or '+' here, and
// no hexadecimal.
inline from_chars_result from_chars(const char* first, const char* last, float& value,
                                    chars_format = chars_format::general) {
    const char* p = first + (first != last && *first == '-');
    if (p == last || *p == '+' || isspace(static_cast<unsigned char>(*p)) ||
        (last - p > 1 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')))
        return {first, errc::invalid_argument};
    const string text(first, last);
    char* end = nullptr;
    errno = 0;
    const float read = strtof(text.c_str(), &end);
    const char* stop = first + (end - text.c_str());
    if (stop == first) return {first, errc::invalid_argument};
    if (errno == ERANGE) return {stop, errc::result_out_of_range};
    value = read;
    return {stop, errc{}};
}

}  // namespace std
