// SPDX-License-Identifier: MIT
// Wrapping at blanks, the edge cases the controls help on screen does not reach.
#include <gtest/gtest.h>

#include "platform/text_wrap.h"

namespace {

using Lines = std::vector<std::string>;

// Every character (not byte) one unit wide.
int chars(std::string_view s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); i += plat::utf8CharLength(static_cast<unsigned char>(s[i]))) ++n;
    return n;
}

TEST(TextWrap, BreaksAtBlanksThenBetweenCharactersThenAtNewLines) {
    const struct {
        const char* text;
        int width;
        Lines want;
    } cases[] = {
        {"", 10, {""}},
        {"aaa bbb ccc", 7, {"aaa bbb ", "ccc"}},
        {"a  /  b", 20, {"a  /  b"}},                // a run of blanks inside a line is kept
        {"ab /      cd", 6, {"ab /      ", "cd"}},   // at a break the run stays behind
        {"  ab cd", 5, {"  ab ", "cd"}},             // leading blanks are kept
        {"x abcdefgh", 3, {"x ", "abc", "def", "gh"}},  // a word wider than the line
        {"abcdefg h", 3, {"abc", "def", "g h"}},
        {"žluťoučký", 4, {"žluť", "oučk", "ý"}},    // never inside a character
        {"ěš", 0, {"ě", "š"}},                       // too narrow: still one character a line
        {"ab\r\n\ncd", 10, {"ab", "", "cd"}},
    };
    for (const auto& c : cases) EXPECT_EQ(plat::wrapText(c.text, c.width, chars), c.want) << c.text << " in " << c.width;
}

}  // namespace
