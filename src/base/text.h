// SPDX-License-Identifier: MIT
// The numbers and words of the text formats (scripts, recordings, the
// hall's files): written one way and read back whole, and quoted safely in
// an error message.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace base {

// The shortest text that reads back to the same float, never with an exponent.
std::string formatFloat(float v);
std::string formatColor(uint32_t c);  // 0x and eight upper-case hex digits
std::string formatHash(uint64_t h);   // 16 lower-case hex digits

// The twins of the above and of the other numbers: the whole text must be
// the value.
bool parseFloat(std::string_view text, float& out);     // finite only
bool parseColor(std::string_view text, uint32_t& out);  // 0x... or decimal
bool parseHash(std::string_view text, uint64_t& out);   // 1 to 16 hex digits
template <typename T>
bool parseInteger(std::string_view text, T& out) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && end == text.data() + text.size();
}

// Quotes a word of a file in an error message: its control characters made
// visible (utf8.h), a very long one cut.
std::string quote(std::string_view s);

}  // namespace base
