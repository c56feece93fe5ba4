// SPDX-License-Identifier: MIT
#include "base/text.h"

#include <cmath>
#include <cstdio>

#include "base/float_chars.h"
#include "base/utf8.h"

namespace base {

std::string formatFloat(float v) {
    char buf[128];
    auto [end, ec] = toChars(buf, buf + sizeof buf, v);
    if (ec != std::errc{}) return "nan";
    return std::string(buf, end);
}

std::string formatColor(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(c));
    return buf;
}

std::string formatHash(uint64_t hash) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash));
    return buf;
}

bool parseFloat(std::string_view text, float& out) {
    if (text.empty()) return false;
    float v = 0;
    auto [end, ec] = fromChars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parseColor(std::string_view text, uint32_t& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        if (text.size() > 8) return false;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
        return ec == std::errc{} && end == text.data() + text.size();
    }
    return parseInteger(text, out);
}

bool parseHash(std::string_view text, uint64_t& out) {
    if (text.empty() || text.size() > 16) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
    return ec == std::errc{} && end == text.data() + text.size();
}

std::string quote(std::string_view s) {
    constexpr size_t kLongest = 60;
    if (s.size() <= kLongest) return "'" + visible(s) + "'";
    return "'" + visible(s.substr(0, kLongest)) + "...' (" + std::to_string(s.size()) + " characters)";
}

}  // namespace base
