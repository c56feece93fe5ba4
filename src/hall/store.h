// SPDX-License-Identifier: MIT
// Where the board is kept: one interface, a backend for each kind of
// database, chosen by the scheme of the --database address (sqlite:PATH).
// Every call is one transaction, safe to make from any thread; a game answered
// as added is in the database when the call returns.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hall {

struct Entry {
    std::string id;
    std::string name;
    int64_t score = 0;
    bool winner = false;
    int64_t lengthMs = 0;
    int checkpoints = 0;
    std::string board;  // "daily" or "open"
    std::string day;    // daily: the game's date; empty on the open board
    uint64_t seed = 0;
    int64_t receivedMs = 0;  // when the server took it (UTC ms)
    int rank = 0;            // its place on its board, from 1 (filled when read)
};

// A game to add, with what the store itself must check.
struct Submission {
    Entry entry;
    std::string recording;  // the bytes as sent
    std::string tokenHash;
    int64_t latestIssueMs = 0;  // open board: the seed must have been issued by then
};

enum class Added {
    New,            // added: `entry` as stored, with its rank
    Again,          // the same game, sent before by the same token: `entry` is the first send's
    OtherPlayer,    // the same game, sent before with another token: `entry` is the first send's
    NameTaken,      // the name is bound to another token; nothing added
    SeedUnknown,    // open board: this server never issued the seed (or forgot it unused)
    SeedUsed,       // open board: another game used the seed
    SeedTooRecent,  // open board: the game is longer than the time since the seed was issued
};

class Store {
public:
    virtual ~Store() = default;
    // Adds a game and binds its name to the token when the name is new, all
    // at once. A game with an empty name is nobody's and binds nothing.
    virtual Added add(const Submission& s, Entry& entry) = 0;
    // Notes a seed as issued at nowMs; forgets seeds issued before
    // nowMs - lifeMs and never used. False when `most` seeds already wait.
    virtual bool issueSeed(uint64_t seed, int64_t nowMs, int64_t lifeMs, int64_t most) = 0;
    // A board, best first (higher score, shorter game, earlier sent), at most `limit` entries.
    virtual std::vector<Entry> board(const std::string& board, const std::string& day, size_t limit) = 0;
    virtual std::optional<Entry> game(const std::string& id) = 0;
    virtual std::optional<std::string> recording(const std::string& id) = 0;
    // A number that changes after every game this store adds, where this
    // process is the database's only writer (a SQLite file): a board read
    // under the same number is still the board. None where other servers
    // write too, so that every board is read afresh.
    virtual std::optional<uint64_t> boardsVersion() const { return std::nullopt; }
};

// The store an address names: sqlite:PATH (the file is made when missing).
// Null, with `error`, for an address of no backend this program has or a
// database that cannot be opened.
std::unique_ptr<Store> openStore(const std::string& address, std::string& error);

// A backend opened on `address`, or null with what its constructor threw as `error`.
template <class Backend>
std::unique_ptr<Store> openBackend(const std::string& address, std::string& error) {
    try {
        return std::make_unique<Backend>(address);
    } catch (const std::exception& e) {
        error = e.what();
        return nullptr;
    }
}

}  // namespace hall
