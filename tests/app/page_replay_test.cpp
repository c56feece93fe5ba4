// SPDX-License-Identifier: MIT
// The page's replay, a frame at a time: every recorded game ends where the driver's does; a doctored one is caught.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "page_replay.h"
#include "record/fields.h"
#include "record/replay.h"
#include "scratch.h"
#include "shell/shell.h"

using namespace hvezda;

namespace {

// Plays `recording` in frames of 1 to 40 ms; the verdict, with g's hash after it.
record::Verdict inFrames(Game& g, const std::string& recording, unsigned seed) {
    Form_Load(g);
    webreplay::PageReplay replay(g, recording);
    std::mt19937 frames(seed);
    int64_t now = 0;
    while (replay.runUntil(now)) now += 1 + static_cast<int64_t>(frames() % 40);
    return replay.verdict();
}

}  // namespace

TEST(PageReplay, EveryRecordedGameEndsWhereTheDriverEndsIt) {
    for (const auto& file : std::filesystem::directory_iterator(HVEZDA_CORPUS)) {
        const std::string recording = readFile(file.path());
        Game paged, driven;
        const record::Verdict v = inFrames(paged, recording, 7);
        EXPECT_EQ(v.status, record::Verdict::Verified) << file.path() << ": " << v.message;
        std::istringstream in(recording);
        Form_Load(driven);
        ASSERT_EQ(record::verifyRecording(driven, in).status, record::Verdict::Verified) << file.path();
        EXPECT_EQ(paged.clock, driven.clock) << file.path();
        EXPECT_EQ(record::Values(paged).digest(), record::Values(driven).digest()) << file.path();
    }
}

TEST(PageReplay, ADoctoredScoreIsCaughtAtItsLine) {
    std::string recording = readFile(std::filesystem::path(HVEZDA_CORPUS) / "game-over.sim");
    const size_t at = recording.find("expect score.Caption ");
    ASSERT_NE(at, std::string::npos);
    recording.insert(at + 21, "9");
    Game g;
    const record::Verdict v = inFrames(g, recording, 3);
    EXPECT_EQ(v.status, record::Verdict::Unmet) << v.message;
    const size_t line = static_cast<size_t>(std::count(recording.begin(), recording.begin() + static_cast<long>(at), '\n')) + 1;
    EXPECT_EQ(v.message.rfind("line " + std::to_string(line) + ": ", 0), 0u) << v.message;

    Game cut;
    EXPECT_EQ(inFrames(cut, recording.substr(0, at), 5).status, record::Verdict::Cut);
}
