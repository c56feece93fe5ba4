// SPDX-License-Identifier: MIT
// The seed stream and the daily flight's seed (a recording's luck is driver_test's).
#include <gtest/gtest.h>

#include "record/seed.h"
#include "scene/random.h"

using namespace hvezda;
using namespace record;

namespace {

TEST(SeedStream, TheWorkedValuesOfTheDriverPage) {
    // docs/driver.md gives these two; another language's stream must match them.
    EXPECT_EQ(streamMix(0 + kStreamStep), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(streamValue(0, 0), 14819496.0f / 16777216.0f);  // 0.8833108
    EXPECT_EQ(streamMix(1 + 2 * kStreamStep), 0xBEEB8DA1658EEC67ull);
    EXPECT_EQ(streamValue(1, 1), 12512141.0f / 16777216.0f);  // 0.7457817
    // Through the game's own draw: floor(R x 2^24) is the 24 bits themselves.
    Random r;
    r.seed = seedStream(1);
    EXPECT_EQ(drawRandom(r, 1 << 24), 9505325);
    EXPECT_EQ(drawRandom(r, 1 << 24), 12512141);
    EXPECT_EQ(drawRandom(r, 8000), static_cast<int>(streamValue(1, 2) * 8000.0f));
}

TEST(SeedStream, OnlyRealDatesHaveADailySeed) {
    int y = 0, m = 0, d = 0;
    for (const char* date : {"2024-02-29", "0001-01-01", "9999-12-31"}) EXPECT_TRUE(parseDate(date, y, m, d)) << date;
    EXPECT_EQ(formatDate(y, m, d), "9999-12-31");
    for (const char* date : {"2026-02-29", "2026-13-01", "2026-00-10", "2026-04-31", "0000-01-01", "2026-1-01",
                             "2026-12-07x", "2026/12/07", "+026-12-07", ""})
        EXPECT_FALSE(parseDate(date, y, m, d)) << date;
    EXPECT_TRUE(parseDate(todayUtc(), y, m, d));
}

}  // namespace
