// SPDX-License-Identifier: MIT
// Every line the recorder writes reads back as the same step; its table of values names every member.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <sstream>
#include <tuple>

#include "base/text.h"
#include "record/fields.h"
#include "record/lines.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // steps are written with the fields they use

using namespace hvezda;
using namespace record;

namespace {

TEST(RecordLines, EveryStepReadsBackAsWritten) {
    std::vector<Step> steps = {keyStep(true, 39),         keyStep(false, 65535, 65535), keyStep(true, 0, 1),
                               clickStep(PanelLabel::Exit), clickStep(PanelLabel::Controls), clickStep(PanelLabel::Credits),
                               advanceStep(0),            advanceStep(86400000),        checkpointStep(0, 0),
                               checkpointStep(97230, ~0ull), versionStep(kFormat, "hvezda 0.2 (a build of Jiří's)"),
                               playerStep("2026-12-07T15:04:05+01:00", ""), playerStep("2026-12-07T15:04:05-09:30", " Jiří  Novák ")};
    for (const char* value : {"", "1032", " two  blanks ", "GAME OVER"})
        steps.push_back({.kind = Step::Kind::Expect, .target = "Label1.Caption", .value = value});
    steps.push_back({.kind = Step::Kind::ExpectHash});
    steps.push_back({.kind = Step::Kind::ExpectHash, .hash = 0x93b48d2e8c5d70c9});
    // Random values as the game draws them, and the edges of their range.
    steps.push_back({.kind = Step::Kind::Random, .values = {0.0f, 0.99999994f, 1e-7f, 1.4e-45f, 0.5f}});
    for (uint64_t seed = 0; seed < 6400; ++seed) {
        if (seed % 64 == 0) steps.push_back({.kind = Step::Kind::Random});
        steps.back().values.push_back(uniformFromSeed(seed * 0x9E3779B97F4A7C15ull));
    }
    Game g;
    for (const Step& s : steps) {
        const std::string line = lineOf(s);
        Step back;
        std::vector<std::string_view> words;
        std::string error;
        ASSERT_EQ(readLine(g, line, back, words, error), LineKind::Step) << line << ": " << error;
        EXPECT_TRUE(back == s) << line << " read back as " << lineOf(back);
    }
}

// A player line with a control character or bytes not UTF-8 is refused; a quoted line shows them as \xHH.
TEST(RecordLines, NoControlCharacterOfAFileReachesATerminal) {
    Game g;
    for (const std::string line :
         {"player 2026-12-07T15:04:05+01:00 a\x1b]0;owned\x07b", "player 2026-12-07T15:04:05+01:00 \xc2\x9b" "31m",
          "player 2026-12-07\x1b[2J", "player 2026-12-07T15:04:05+01:00 Ji\xf8\xed", "player 2026-12-07T15:04:05+01:00 a\x7f"}) {
        Step step;
        std::vector<std::string_view> words;
        std::string error;
        EXPECT_EQ(readLine(g, line, step, words, error), LineKind::Malformed) << base::quote(line);
        EXPECT_EQ(std::count_if(error.begin(), error.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }), 0)
            << error;
    }
    EXPECT_EQ(base::quote("\x1b]0;x\x07 Ji\xc5\x99\xc3\xad \xc2\x9b\xff"), "'\\x1b]0;x\\x07 Ji\xc5\x99\xc3\xad \\xc2\\x9b\\xff'");
}

// Counts the members of an aggregate: the most initializers it takes.
struct AnyMember {
    template <class T>
    operator T&() const;
};
template <class T, class... A>
constexpr size_t memberCount() {
    if constexpr (requires { T{A{}..., AnyMember{}}; }) return memberCount<T, A..., AnyMember>();
    else return sizeof...(A);
}

// The table's members, laid out by offset, leave no gap and number as many as T has; a missing one
// is named by its neighbours.
template <class T>
void expectEveryMember(std::span<const Member<T>> table, const char* type) {
    const T object{};
    std::vector<std::tuple<size_t, size_t, size_t, std::string_view>> places;  // offset, size, alignment, name
    for (const Member<T>& m : table)
        std::visit([&](auto p) {
            using V = std::remove_reference_t<decltype(object.*p)>;
            places.emplace_back(reinterpret_cast<const char*>(&(object.*p)) - reinterpret_cast<const char*>(&object),
                                sizeof(V), alignof(V), m.name);
        }, m.pointer);
    std::sort(places.begin(), places.end());
    auto alignUp = [](size_t n, size_t a) { return (n + a - 1) / a * a; };
    size_t end = 0;
    std::string_view before = "the start";
    for (const auto& [at, size, align, name] : places) {
        EXPECT_EQ(at, alignUp(end, align)) << type << ": a member between " << before << " and " << name
                                           << " is not in the table of values (record/fields.cpp)";
        end = at + size, before = name;
    }
    EXPECT_EQ(alignUp(end, alignof(T)), sizeof(T)) << type << ": a member after " << before
                                                   << " is not in the table of values (record/fields.cpp)";
    EXPECT_EQ(table.size(), memberCount<T>()) << type << ": a member is not in the table of values";
}

TEST(RecordFields, TheTableNamesEveryMemberOfTheGame) {
    expectEveryMember(stateMembers(), "GameState");
    expectEveryMember(spriteMembers(), "Sprite");
    expectEveryMember(labelMembers(), "Label");
    expectEveryMember(imageMembers(), "Image");
    expectEveryMember(lineMembers(), "Line");
    expectEveryMember(starMembers(), "Star");
    expectEveryMember(timerMembers(), "Timer");
    expectEveryMember(formMembers(), "Form");
}

}  // namespace
