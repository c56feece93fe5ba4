// SPDX-License-Identifier: MIT
// Floating-point numbers to and from text: the shortest fixed notation that
// reads back to the same value, and the general notation read back. The
// standard library's conversions where it has them; the libc++ of Debian's
// emscripten (libc++ 13) has none for floating point, so the browser build
// (HVEZDA_PORTABLE_FLOAT_CHARS, cmake/emscripten-web.cmake) takes the
// portable ones, made of printf and strtof.
#pragma once

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace base {

namespace portable {

// printf's correctly rounded output with the fewest decimals that reads back.
template <typename T>
std::to_chars_result fixedChars(char* first, char* last, T value, T (*read)(const char*, char**)) {
    char text[1600];  // the longest: DBL_MAX's 309 digits, or 1074 decimals
    for (int decimals = 0; decimals <= 1100; ++decimals) {
        const int n = std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
        if (n < 0 || n >= static_cast<int>(sizeof text)) break;
        if (value != value || read(text, nullptr) == value) {  // NaN reads back as nothing
            if (n > last - first) break;
            std::memcpy(first, text, static_cast<size_t>(n));
            return {first + n, std::errc{}};
        }
    }
    return {last, std::errc::value_too_large};
}

inline std::to_chars_result toChars(char* first, char* last, double value) {
    return fixedChars(first, last, value, std::strtod);
}
inline std::to_chars_result toChars(char* first, char* last, float value) {
    return fixedChars(first, last, value, std::strtof);
}

// strtof reads more than from_chars does: no leading blanks or '+' here, and
// no hexadecimal ("0x1" is a 0 followed by other text).
inline std::from_chars_result fromChars(const char* first, const char* last, float& value) {
    const char* p = first + (first != last && *first == '-');
    if (p == last || *p == '+' || std::isspace(static_cast<unsigned char>(*p))) return {first, std::errc::invalid_argument};
    if (last - p > 1 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        value = p == first ? 0.0f : -0.0f;
        return {p + 1, std::errc{}};
    }
    const std::string text(first, last);
    char* end = nullptr;
    errno = 0;
    const float read = std::strtof(text.c_str(), &end);
    const char* stop = first + (end - text.c_str());
    if (stop == first) return {first, std::errc::invalid_argument};
    if (errno == ERANGE) return {stop, std::errc::result_out_of_range};
    value = read;
    return {stop, std::errc{}};
}

}  // namespace portable

// The shortest fixed notation of `value` that reads back to it.
template <typename T>
std::to_chars_result toChars(char* first, char* last, T value) {
#ifdef HVEZDA_PORTABLE_FLOAT_CHARS
    return portable::toChars(first, last, value);
#else
    return std::to_chars(first, last, value, std::chars_format::fixed);
#endif
}

// A number in general notation, as std::from_chars reads it.
inline std::from_chars_result fromChars(const char* first, const char* last, float& value) {
#ifdef HVEZDA_PORTABLE_FLOAT_CHARS
    return portable::fromChars(first, last, value);
#else
    return std::from_chars(first, last, value, std::chars_format::general);
#endif
}

}  // namespace base
