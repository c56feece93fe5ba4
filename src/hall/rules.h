// SPDX-License-Identifier: MIT
// The hall of fame's rules, free of HTTP and of any database: what a game
// sent to the board is (replayed here, never taken from the sender), whose
// it is (a player's name and a hash of the token that first used it), and
// which board it may go on (a day's luck, or luck this server issued).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hall {

// Sizes the server holds whatever a client sends.
inline constexpr size_t kLargestRecording = 512 * 1024;   // bytes of one recording (a real game is well under 100 KB)
inline constexpr int64_t kLongestGameMs = 3LL * 3600 * 1000;  // virtual time a recording may play
inline constexpr int64_t kLongestReplayMs = 2000;           // real time one replay may take, whatever its lines
inline constexpr size_t kLongestNameBytes = 64;             // as the game's recorder cuts them
inline constexpr size_t kLongestNameChars = 32;
inline constexpr size_t kShortestToken = 16, kLongestToken = 256;
inline constexpr size_t kBoardPlaces = 100;                 // entries a board lists at most
// An open game may be this much longer than the time between its seed's
// issue and its arrival: the page's clock and the network are not exact.
inline constexpr int64_t kOpenMarginMs = 10'000;
// A day's games are taken until an hour after the day ends (UTC).
inline constexpr int64_t kDailyGraceMs = 3600'000;
// An issued seed not used within this long is forgotten.
inline constexpr int64_t kSeedLifeMs = 7LL * 24 * 3600 * 1000;
// Seeds issued and not yet used, at most.
inline constexpr int64_t kMostSeedsWaiting = 1'000'000;
// Seeds the server issues stay below 2^53, so a page's script holds them exactly.
inline constexpr uint64_t kSeedBound = 1ull << 53;

// What the replay of a recording gave: nothing here comes from the sender's word.
struct Judged {
    std::string id;             // the game's identity: a digest of its steps (not its comments, format or player lines)
    std::string name;           // the player line's name, as written
    int64_t score = 0;
    bool winner = false;        // WINNER, else GAME OVER
    int64_t lengthMs = 0;       // the game's clock when it ended
    int checkpoints = 0;        // checkpoints the replay held
    enum class Luck { Chosen, Seed } luck = Luck::Chosen;
    uint64_t seed = 0;          // Luck::Seed: the seed the game drew from
    std::string daily;          // a day's game: its date, YYYY-MM-DD; empty for other seeds
    int format = 0;
};

// Replays `recording` whole (within the sizes above). True with `out` filled
// when it verifies to an ended game; otherwise false with `why`.
bool judge(std::string_view recording, Judged& out, std::string& why);

// The identity of a recording's game: SHA-256 of what reached the game and
// when (its luck lines, and each key, click and random line with the virtual
// time it came at), hex, first 24 digits. The game follows from these alone,
// so comments, the format and player lines, how the time between them was
// cut into advances, and the checkpoints and expectations written along
// are left out.
std::string gameId(std::string_view recording, int* checkpoints = nullptr);

// True for an identity as gameId writes them (used before looking one up).
bool wellFormedId(std::string_view id);

// Why a name cannot be shown on the board, empty when it can: valid UTF-8,
// not empty or blank, no control or direction-changing characters, within
// the sizes. (A game with no name at all is listed without one.)
std::string badName(std::string_view name);

// The token of an "Authorization: Bearer TOKEN" header; nullopt, with `why`,
// when the header is missing or not such a token.
std::optional<std::string> bearerToken(std::string_view header, std::string& why);

// SHA-256 of a token, hex: the only form in which a token is kept.
std::string tokenHash(std::string_view token);

// A seed for the open board from the system's secure random source, below kSeedBound.
uint64_t freshSeed();

// Times: milliseconds since 1970 in UTC.
std::string utcTime(int64_t ms);        // 2026-12-07T21:30:05Z
std::string utcDay(int64_t ms);         // 2026-12-07
// The start of a date's day in UTC; nullopt when the text is no date.
std::optional<int64_t> dayStart(std::string_view date);

// Which board a judged game goes on at `nowMs`, or why it goes on none. For
// the open board the seed's issue is checked by the store; `latestIssueMs`
// gets the latest moment it may have been issued.
struct Placement {
    std::string board;          // "daily" or "open"; empty when refused
    std::string day;            // daily: the game's date
    int64_t latestIssueMs = 0;  // open
    std::string why;            // the refusal
};
Placement place(const Judged& game, int64_t nowMs);

}  // namespace hall
