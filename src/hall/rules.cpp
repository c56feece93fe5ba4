// SPDX-License-Identifier: MIT
#include "hall/rules.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "base/utf8.h"
#include "record/replay.h"
#include "record/seed.h"
#include "shell/shell.h"

using namespace hvezda;

namespace hall {

namespace {

std::string hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

// SHA-256 over pieces fed one at a time.
class Sha256 {
public:
    Sha256() : ctx_(EVP_MD_CTX_new()) {
        if (!ctx_ || EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr) != 1) throw std::runtime_error("no SHA-256");
    }
    ~Sha256() { EVP_MD_CTX_free(ctx_); }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    void add(std::string_view s) { EVP_DigestUpdate(ctx_, s.data(), s.size()); }
    std::string hexDigest() {
        unsigned char out[EVP_MAX_MD_SIZE];
        unsigned int n = 0;
        EVP_DigestFinal_ex(ctx_, out, &n);
        return hex(out, n);
    }

private:
    EVP_MD_CTX* ctx_;
};

std::string_view firstWord(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    line.remove_prefix(start);
    return line.substr(0, line.find_first_of(" \t"));
}

// The code point of the character of n bytes at s[i].
char32_t codePoint(std::string_view s, size_t i, int n) {
    const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
    switch (n) {
        case 1: return b(0);
        case 2: return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
        case 3: return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
        default: return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    }
}

}  // namespace

std::string gameId(std::string_view recording, int* checkpoints) {
    Sha256 sha;
    int held = 0;
    int64_t clock = 0;
    while (!recording.empty()) {
        const size_t end = recording.find('\n');
        std::string_view line = recording.substr(0, end);
        recording.remove_prefix(end == std::string_view::npos ? recording.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        const std::string_view word = firstWord(line);
        if (word.empty() || word[0] == '#' || word == "format" || word == "player") continue;
        held += word == "checkpoint";
        if (word == "checkpoint" || word == "expect" || word == "expect-hash") continue;  // follow from the rest
        if (word == "advance") {
            const std::string_view ms = firstWord(line.substr(line.find("advance") + 7));
            int64_t n = 0;
            const auto [next, ec] = std::from_chars(ms.data(), ms.data() + ms.size(), n);
            if (ec == std::errc{} && next == ms.data() + ms.size() && n >= 0 && n <= kLongestGameMs) {
                clock += n;
                continue;
            }
        }
        sha.add(std::to_string(clock));
        sha.add(" ");
        sha.add(line);
        sha.add("\n");
    }
    if (checkpoints) *checkpoints = held;
    return sha.hexDigest().substr(0, 24);
}

bool wellFormedId(std::string_view id) {
    if (id.size() != 24) return false;
    for (const char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool judge(std::string_view recording, Judged& out, std::string& why) {
    if (recording.size() > kLargestRecording) {
        why = "the recording is larger than " + std::to_string(kLargestRecording) + " bytes";
        return false;
    }
    out = Judged{};
    out.id = gameId(recording, &out.checkpoints);
    // The virtual time is bounded by the limits, the real time by a deadline
    // looked at every few hundred ticks: a replay out of time is refused.
    struct OutOfTime {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongestReplayMs);
    uint32_t ticks = 0;
    record::RecordingLimits limits;
    limits.longestPlayMs = kLongestGameMs;
    std::istringstream in{std::string(recording)};
    record::PlayedToTheEnd played;
    try {
        const bool ended = record::playToTheEnd(in, limits, played, why, [&] {
            if (++ticks % 256 == 0 && std::chrono::steady_clock::now() > deadline) throw OutOfTime{};
        });
        if (!ended) {
            const record::Verdict::Status status = played.verdict.status;
            if (status == record::Verdict::Cut) why = "the recording is cut short: " + why;
            else if (status != record::Verdict::Verified) why = "the recording does not verify: " + why;
            return false;
        }
    } catch (const OutOfTime&) {
        why = "the replay took longer than " + std::to_string(kLongestReplayMs) + " ms";
        return false;
    }
    const record::Verdict& v = played.verdict;
    out.score = played.score;
    out.winner = played.winner;
    out.lengthMs = played.lengthMs;
    out.name = v.name;
    out.format = v.format;
    out.luck = v.luck == record::Verdict::Luck::Seed ? Judged::Luck::Seed : Judged::Luck::Chosen;
    out.seed = v.seed;
    out.daily = v.daily;
    return true;
}

std::string badName(std::string_view name) {
    if (name.empty()) return "the recording names no player (its player line)";
    if (name.size() > kLongestNameBytes) return "the name is longer than " + std::to_string(kLongestNameBytes) + " bytes";
    size_t chars = 0;
    bool blank = true;
    for (size_t i = 0; i < name.size(); ++chars) {
        const int n = base::utf8Length(name, i);
        if (n <= 0) return "the name is not UTF-8";
        const char32_t c = codePoint(name, i, n);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return "the name holds a control character";
        if ((c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF)
            return "the name holds an invisible or direction-changing character";
        blank = blank && (c == ' ' || c == 0xA0 || c == 0x3000);
        i += static_cast<size_t>(n);
    }
    if (blank) return "the name is blank";
    if (chars > kLongestNameChars) return "the name is longer than " + std::to_string(kLongestNameChars) + " characters";
    return {};
}

std::optional<std::string> bearerToken(std::string_view header, std::string& why) {
    constexpr std::string_view scheme = "Bearer ";
    if (header.empty()) {
        why = "no player token: send the header Authorization: Bearer TOKEN";
        return std::nullopt;
    }
    // The scheme's name is not case-sensitive.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (header.size() < scheme.size() ||
        !std::equal(scheme.begin(), scheme.end(), header.begin(), [&](char a, char b) { return lower(a) == lower(b); })) {
        why = "the Authorization header is not 'Bearer TOKEN'";
        return std::nullopt;
    }
    const std::string_view token = header.substr(scheme.size());
    if (token.size() < kShortestToken || token.size() > kLongestToken) {
        why = "a player token has " + std::to_string(kShortestToken) + " to " + std::to_string(kLongestToken) +
              " characters";
        return std::nullopt;
    }
    for (const char c : token)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              std::string_view("-._~+/=").find(c) != std::string_view::npos)) {
            why = "a player token holds only letters, digits and - . _ ~ + / =";
            return std::nullopt;
        }
    return std::string(token);
}

std::string tokenHash(std::string_view token) {
    Sha256 sha;
    sha.add("hvezda-hall token\n");
    sha.add(token);
    return sha.hexDigest();
}

uint64_t freshSeed() {
    uint64_t seed = 0;
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&seed), sizeof seed) != 1)
        throw std::runtime_error("the system gives no secure random numbers");
    return seed % kSeedBound;
}

std::string utcTime(int64_t ms) {
    using namespace std::chrono;
    const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
    const year_month_day date(day);
    const int64_t inDay = (ms - duration_cast<milliseconds>(day.time_since_epoch()).count()) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), static_cast<int>(inDay / 3600),
                  static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
    return text;
}

std::string utcDay(int64_t ms) { return utcTime(ms).substr(0, 10); }

std::optional<int64_t> dayStart(std::string_view date) {
    int y = 0;
    unsigned m = 0, d = 0;
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
    const char* p = date.data();
    for (const size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (p[i] < '0' || p[i] > '9') return std::nullopt;
    std::from_chars(p, p + 4, y);
    std::from_chars(p + 5, p + 7, m);
    std::from_chars(p + 8, p + 10, d);
    using namespace std::chrono;
    const year_month_day ymd{year{y}, month{m}, day{d}};
    if (!ymd.ok()) return std::nullopt;
    return duration_cast<milliseconds>(sys_days(ymd).time_since_epoch()).count();
}

Placement place(const Judged& game, int64_t nowMs) {
    Placement p;
    if (game.luck == Judged::Luck::Chosen) {
        p.why = "the game's luck was chosen (format " + std::to_string(game.format) +
                ", random values of its own): the board takes games of a day's seed or of a seed this server issued";
        return p;
    }
    if (!game.daily.empty()) {
        const std::optional<int64_t> start = dayStart(game.daily);
        uint64_t seed = 0;
        if (!start || !record::dailySeedOf(game.daily, seed)) {
            p.why = "'" + game.daily + "' is no date";
            return p;
        }
        if (seed != game.seed) {
            p.why = "the seed " + std::to_string(game.seed) + " is not the one of the day " + game.daily;
            return p;
        }
        if (nowMs < *start) {
            p.why = "the day " + game.daily + " has not begun (UTC)";
            return p;
        }
        if (nowMs >= *start + 24 * 3600'000LL + kDailyGraceMs) {
            p.why = "the day " + game.daily + " is over: its games were taken until an hour after it ended (UTC)";
            return p;
        }
        p.board = "daily";
        p.day = game.daily;
        return p;
    }
    p.board = "open";
    p.latestIssueMs = nowMs - game.lengthMs + kOpenMarginMs;
    return p;
}

}  // namespace hall
