#include <gtest/gtest.h>

#include "platform/text_wrap.h"
#include "shell/shell.h"

namespace {

using Lines = std::vector<std::string>;

// Every character (not byte) one unit wide.
int chars(std::string_view s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); i += plat::utf8CharLength(static_cast<unsigned char>(s[i]))) ++n;
    return n;
}

Lines wrap(std::string_view text, int width) { return plat::wrapText(text, width, chars); }

TEST(TextWrap, ShortTextStaysOnOneLine) {
    EXPECT_EQ(wrap("EXIT", 10), Lines{"EXIT"});
    EXPECT_EQ(wrap("", 10), Lines{""});
}

TEST(TextWrap, BreaksAtBlanksAndKeepsRunsOfBlanks) {
    EXPECT_EQ(wrap("aaa bbb ccc", 7), (Lines{"aaa bbb ", "ccc"}));
    // Inside a line a run of blanks is kept as it is.
    EXPECT_EQ(wrap("a  /  b", 20), Lines{"a  /  b"});
    // Where the line breaks, the whole run stays behind on the line it
    // started on; the next line starts with the next word.
    EXPECT_EQ(wrap("ab /      cd", 6), (Lines{"ab /      ", "cd"}));
    // Leading blanks of the text are kept.
    EXPECT_EQ(wrap("  ab cd", 5), (Lines{"  ab ", "cd"}));
}

TEST(TextWrap, AWordWiderThanTheLineIsBrokenBetweenCharacters) {
    EXPECT_EQ(wrap("abcdefgh", 3), (Lines{"abc", "def", "gh"}));
    EXPECT_EQ(wrap("x abcdefgh", 3), (Lines{"x ", "abc", "def", "gh"}));
    EXPECT_EQ(wrap("abcdefg hi", 3), (Lines{"abc", "def", "g ", "hi"}));
    EXPECT_EQ(wrap("abcdefg h", 3), (Lines{"abc", "def", "g h"}));
    // Never between the bytes of one character.
    EXPECT_EQ(wrap("žluťoučký", 4), (Lines{"žluť", "oučk", "ý"}));
    // A width too small for anything still advances, one character a line.
    EXPECT_EQ(wrap("ěš", 0), (Lines{"ě", "š"}));
}

TEST(TextWrap, NewLinesBreakToo) {
    EXPECT_EQ(wrap("ab\ncd", 10), (Lines{"ab", "cd"}));
    EXPECT_EQ(wrap("ab\r\n\ncd", 10), (Lines{"ab", "", "cd"}));
}

TEST(TextWrap, TheControlsHelpKeepsItsBlanksAndStartsLinesWithWords) {
    // 30 characters hold the help up to the second slash; its sixteen blanks
    // end that line and the refill key starts the next.
    const Lines lines = wrap(kControlsHelp, 30);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "směr: šipky  /  x = střelba  /                ");
    EXPECT_EQ(lines[1], "c = doplnění života");
    // One narrower and the second slash moves down, taking its blanks along.
    const Lines narrower = wrap(kControlsHelp, 29);
    ASSERT_EQ(narrower.size(), 3u);
    EXPECT_EQ(narrower[0], "směr: šipky  /  x = střelba  ");
    EXPECT_EQ(narrower[1], "/                c = doplnění ");
    EXPECT_EQ(narrower[2], "života");
    for (const Lines& ls : {lines, narrower}) {
        std::string joined;
        for (const std::string& l : ls) joined += l;
        EXPECT_EQ(joined, kControlsHelp);  // nothing lost, nothing collapsed
    }
}

}  // namespace
