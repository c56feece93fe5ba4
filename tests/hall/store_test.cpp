// SPDX-License-Identifier: MIT
// The storage interface, the same cases on every backend; the rules that need no server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <atomic>
#include <thread>

#include <libpq-fe.h>
#include <unistd.h>

#include "hall/page.h"
#include "hall/rules.h"
#include "hall/store.h"
#include "record/seed.h"

using namespace hall;

namespace {

constexpr int64_t kNoon = 1796644800000;  // 2026-12-07T12:00:00Z

class StoreTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("hvezda-hall-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        if (GetParam() == "postgresql" && !std::getenv("HVEZDA_TEST_POSTGRES"))
            GTEST_SKIP() << "no PostgreSQL: tests/hall/with_postgres.sh starts one";
        std::string error;
        address_ = GetParam() == "postgresql" ? freshPostgres() : GetParam() + (folder_ / "hall.sqlite").string();
        store_ = openStore(address_, error);
        ASSERT_TRUE(store_) << error;
    }
    void TearDown() override {
        store_.reset();
        std::filesystem::remove_all(folder_);
    }
    static Submission game(const std::string& id, const std::string& name, int64_t score, int64_t lengthMs,
                           const std::string& board = "daily", uint64_t seed = 0) {
        return {{.id = id, .name = name, .score = score, .lengthMs = lengthMs, .board = board,
                 .day = board == "daily" ? "2026-12-07" : "", .seed = seed, .receivedMs = kNoon},
                "recording of " + id + "\n", tokenHash(name + "'s token"), kNoon};
    }
    // Adds each game in turn: the answer wanted, and the rank given back (when not 0).
    void expectAdds(std::initializer_list<std::tuple<Submission, Added, int>> sends) {
        for (const auto& [s, want, rank] : sends) {
            Entry e;
            EXPECT_EQ(store_->add(s, e), want) << s.entry.id;
            if (rank) { EXPECT_EQ(e.rank, rank) << s.entry.id; }
        }
    }

    // A new, empty database on the server with_postgres.sh started.
    static std::string freshPostgres() {
        const char* server = std::getenv("HVEZDA_TEST_POSTGRES");
        PGconn* c = PQconnectdb(server);
        const std::string name = "store_" + std::to_string(::getpid());
        PQclear(PQexec(c, ("DROP DATABASE IF EXISTS " + name).c_str()));
        PQclear(PQexec(c, ("CREATE DATABASE " + name).c_str()));
        PQfinish(c);
        std::string address = server;
        return address.replace(address.find("/postgres?"), 9, "/" + name);
    }

    std::filesystem::path folder_;
    std::string address_;
    std::unique_ptr<Store> store_;
};

TEST_P(StoreTest, BoardsRankByScoreThenShorterThenEarlierAndKeepEveryGameOnce) {
    Submission later = game("c", "Cyril", 100, 8000);
    later.entry.receivedMs += 1;
    // b as high as a and shorter; c as high and as short as b but later, ahead of the longer a; a again is 4th.
    expectAdds({{game("a", "Ann", 100, 9000), Added::New, 1}, {game("b", "Ben", 100, 8000), Added::New, 1},
                {later, Added::New, 2}, {game("d", "Dana", 300, 50000), Added::New, 0},
                {game("e", "Eva", 1, 1000, "open", 7), Added::SeedUnknown, 0}, {game("a", "Ann", 100, 9000), Added::Again, 4}});
    Entry e;
    EXPECT_EQ(store_->add(game("a", "Mallory", 100, 9000), e), Added::OtherPlayer);
    EXPECT_EQ(e.name, "Ann");

    const std::vector<Entry> board = store_->board("daily", "2026-12-07", 3);
    ASSERT_EQ(board.size(), 3u);
    EXPECT_EQ(board[0].id + board[1].id + board[2].id, "dbc");
    EXPECT_EQ(board[2].rank, 3);
    EXPECT_TRUE(store_->board("daily", "2026-12-06", 10).empty());
    EXPECT_TRUE(store_->board("open", "", 10).empty());
    EXPECT_EQ(store_->recording("c").value_or(""), "recording of c\n");
    EXPECT_FALSE(store_->recording("z"));
    ASSERT_TRUE(store_->game("a"));
    EXPECT_EQ(store_->game("a")->rank, 4);
}

TEST_P(StoreTest, ANameBelongsToItsFirstToken) {
    Submission other = game("b", "Jiří", 20, 1000), nobodys = game("e", "", 30, 1000);
    other.tokenHash = nobodys.tokenHash = tokenHash("someone else");
    // Games without a name are nobody's: any token may send them.
    expectAdds({{game("a", "Jiří", 10, 1000), Added::New, 0}, {other, Added::NameTaken, 0},
                {game("c", "Jiří", 30, 1000), Added::New, 0}, {game("d", "", 30, 1000), Added::New, 0}, {nobodys, Added::New, 0}});
    EXPECT_FALSE(store_->recording("b"));
}

TEST_P(StoreTest, AnIssuedSeedServesOneGameNoOlderThanItself) {
    EXPECT_TRUE(store_->issueSeed(42, kNoon, kSeedLifeMs, 10));
    EXPECT_FALSE(store_->issueSeed(42, kNoon, kSeedLifeMs, 10));  // issued already
    Submission early = game("a", "Ann", 10, 1000, "open", 42);
    early.latestIssueMs = kNoon - 1;
    expectAdds({{early, Added::SeedTooRecent, 0}, {game("a", "Ann", 10, 1000, "open", 42), Added::New, 0},
                {game("b", "Ann", 20, 1000, "open", 42), Added::SeedUsed, 0}, {game("a", "Ann", 10, 1000, "open", 42), Added::Again, 0}});

    // Seeds waiting are bounded, and forgotten after their life.
    EXPECT_TRUE(store_->issueSeed(1, kNoon, 1000, 2));
    EXPECT_TRUE(store_->issueSeed(2, kNoon, 1000, 2));
    EXPECT_FALSE(store_->issueSeed(3, kNoon, 1000, 2));
    EXPECT_TRUE(store_->issueSeed(3, kNoon + 1001, 1000, 2));
    expectAdds({{game("c", "Ann", 10, 1000, "open", 1), Added::SeedUnknown, 0}});
    std::string error;
    store_.reset();
    store_ = openStore(address_, error);  // opened again: seed 3 still waits
    ASSERT_TRUE(store_) << error;
    EXPECT_FALSE(store_->issueSeed(4, kNoon + 1001, 1000, 1));
    EXPECT_TRUE(store_->issueSeed(4, kNoon + 1001, 1000, 2));
}

TEST_P(StoreTest, ManyThreadsSendingTheSameGameMakeOneEntry) {
    std::vector<std::thread> senders;
    std::atomic<int> added{0};
    for (int t = 0; t < 4; ++t)
        senders.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                Entry e;
                added += store_->add(game("g" + std::to_string(i), "Ann", i, 1000), e) == Added::New;
            }
        });
    for (std::thread& t : senders) t.join();
    EXPECT_EQ(added, 25);
    EXPECT_EQ(store_->board("daily", "2026-12-07", kBoardPlaces).size(), 25u);
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values("sqlite:", "postgresql"));

TEST(HallRules, NamesAreShownAsWrittenButNeverAsControlsOrMarkup) {
    EXPECT_EQ(escapeHtml("<b>\"Tom\" & 'Jerry'</b>"), "&lt;b&gt;&quot;Tom&quot; &amp; &#39;Jerry&#39;&lt;/b&gt;");
    for (const char* bad : {"", "   ", "a\tb", "a\x7f", "a\xc2\x85", "\xe2\x80\xae" "abc", "a\xff", "\xc3"})
        EXPECT_NE(badName(bad), "") << bad;
    EXPECT_EQ(badName(std::string(32, 'x')), "");
    EXPECT_NE(badName(std::string(33, 'x')), "");
    EXPECT_EQ(badName("ř" + std::string(30, 'x')), "");  // characters, not bytes
}

TEST(HallRules, TokensComeAsBearer) {
    std::string why;
    EXPECT_EQ(bearerToken("Bearer abcdefghijklmnop", why).value_or(""), "abcdefghijklmnop");
    EXPECT_EQ(bearerToken("bearer abcdefghijklmnop", why).value_or(""), "abcdefghijklmnop");
    for (const char* bad : {"", "Basic abcdefghijklmnop", "Bearer short", "Bearer abcdefghijklmnop\"", "Bearer  abcdefghijklmnop"})
        EXPECT_FALSE(bearerToken(bad, why)) << bad;
}

// The recorded games replay in the server to the score the driver checked, with the luck their lines say.
TEST(HallRules, RecordedGamesReplayToTheDriversScore) {
    for (const auto& file : std::filesystem::directory_iterator(HVEZDA_CORPUS)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t at = text.rfind("expect score.Caption ");
        ASSERT_NE(at, std::string::npos) << file.path();
        Judged game;
        std::string why;
        ASSERT_TRUE(judge(text, game, why)) << file.path() << ": " << why;
        EXPECT_EQ(game.score, std::stoll(text.substr(at + 21))) << file.path();
        EXPECT_EQ(game.winner, file.path().filename().string().rfind("winner", 0) == 0) << file.path();
        EXPECT_GT(game.lengthMs, 0);
        const bool seeded = text.find("\nseed ") != std::string::npos;
        EXPECT_EQ(game.luck, seeded ? Judged::Luck::Seed : Judged::Luck::Chosen) << file.path();
        EXPECT_EQ(game.id, gameId(text));
    }
    Judged game;
    std::string why;
    EXPECT_FALSE(judge("advance 100\n", game, why));
    EXPECT_FALSE(judge(std::string(kLargestRecording + 1, '#'), game, why));
}

TEST(HallRules, AGamesIdentityIsItsStepsAlone) {
    const std::string game = "# a comment\nformat 3 hvezda 0.2\nseed 5\nplayer 2026-12-07T12:00:00+01:00 Ann\n"
                             "advance 100\ncheckpoint 100 0123456789abcdef\n";
    const std::string renamed = "format 3 hvezda 0.3\r\nseed 5\r\n\r\nplayer 2026-12-08T12:00:00+01:00 Bob  \r\n"
                                "advance 100  \r\ncheckpoint 100 0123456789abcdef\r\n# the end\r\n";
    // Resealed: the same keys at the same moments, the time cut otherwise, other checkpoints.
    const std::string resealed = "seed 5\nadvance 40\nadvance 60\nkeydown 88\nadvance 5\ncheckpoint 105 00\n";
    const std::string keyed = "seed 5\nadvance 100\nkeydown 88\nadvance 5\nexpect clock 105\n";
    int checkpoints = 0;
    EXPECT_EQ(gameId(game, &checkpoints), gameId(renamed));
    EXPECT_EQ(checkpoints, 1);
    EXPECT_TRUE(wellFormedId(gameId(game)));
    EXPECT_NE(gameId(game), gameId("seed 6\nadvance 100\ncheckpoint 100 0123456789abcdef\n"));
    EXPECT_EQ(gameId(resealed), gameId(keyed));
    EXPECT_NE(gameId(keyed), gameId("seed 5\nadvance 101\nkeydown 88\n"));  // the key a moment later
    EXPECT_NE(gameId(keyed), gameId("seed 5\nadvance 100\nkeydown 88\nkeyup 88\n"));
}

TEST(HallRules, DaysAreUtcAndEndAnHourLate) {
    EXPECT_EQ(dayStart("2026-12-07").value_or(0), kNoon - 12 * 3600'000LL);
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-1-01", "2026-12-07x", "+026-12-07"})
        EXPECT_FALSE(dayStart(bad)) << bad;
    EXPECT_EQ(utcTime(kNoon + 61'999), "2026-12-07T12:01:01Z");
    Judged daily;
    daily.luck = Judged::Luck::Seed;
    daily.daily = "2026-12-07";
    EXPECT_NE(place(daily, kNoon).why.find("not the one of the day"), std::string::npos);
    ASSERT_TRUE(record::dailySeedOf("2026-12-07", daily.seed));
    const int64_t lastMoment = kNoon + 13 * 3600'000LL - 1;  // 2026-12-08T00:59:59.999Z
    EXPECT_EQ(place(daily, lastMoment).board, "daily");
    EXPECT_NE(place(daily, lastMoment + 1).why.find("is over"), std::string::npos);
    EXPECT_NE(place(daily, kNoon - 12 * 3600'000LL - 1).why.find("not begun"), std::string::npos);

    Judged open;
    open.luck = Judged::Luck::Seed;
    open.lengthMs = 60'000;
    EXPECT_EQ(place(open, kNoon).board, "open");
    EXPECT_EQ(place(open, kNoon).latestIssueMs, kNoon - 60'000 + kOpenMarginMs);
    open.luck = Judged::Luck::Chosen;
    EXPECT_NE(place(open, kNoon).why.find("chosen"), std::string::npos);
}

}  // namespace
