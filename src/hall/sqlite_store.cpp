// SPDX-License-Identifier: MIT
// The board in one SQLite file, in WAL mode: readers never wait for the
// writer, and a game committed is in the file even if the process is killed
// the next moment.
#include <sqlite3.h>

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "hall/store.h"

namespace hall {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS players (
  name TEXT PRIMARY KEY,
  token_hash TEXT NOT NULL,
  since INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS games (
  id TEXT PRIMARY KEY,
  name TEXT NOT NULL,
  token_hash TEXT NOT NULL,
  score INTEGER NOT NULL,
  winner INTEGER NOT NULL,
  length_ms INTEGER NOT NULL,
  checkpoints INTEGER NOT NULL,
  board TEXT NOT NULL,
  day TEXT NOT NULL,
  seed TEXT NOT NULL,
  received INTEGER NOT NULL,
  recording BLOB NOT NULL
);
CREATE INDEX IF NOT EXISTS games_by_place ON games (board, day, score DESC, length_ms, received, id);
CREATE TABLE IF NOT EXISTS seeds (
  seed TEXT PRIMARY KEY,
  issued INTEGER NOT NULL,
  game TEXT
);
CREATE INDEX IF NOT EXISTS seeds_waiting ON seeds (issued) WHERE game IS NULL;
)";

constexpr const char* kEntryColumns = "id, name, score, winner, length_ms, checkpoints, board, day, seed, received";

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) fail();
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, const std::string& s) {
        check(sqlite3_bind_text(st_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(int i, int64_t v) {
        check(sqlite3_bind_int64(st_, i, v));
        return *this;
    }
    Statement& blob(int i, const std::string& s) {
        check(sqlite3_bind_blob64(st_, i, s.data(), s.size(), SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    int64_t integer(int col) const { return sqlite3_column_int64(st_, col); }
    std::string text(int col) const {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st_, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
    }
    Entry entry() const {
        Entry e;
        e.id = text(0);
        e.name = text(1);
        e.score = integer(2);
        e.winner = integer(3) != 0;
        e.lengthMs = integer(4);
        e.checkpoints = static_cast<int>(integer(5));
        e.board = text(6);
        e.day = text(7);
        e.seed = std::stoull(text(8));
        e.receivedMs = integer(9);
        return e;
    }

private:
    void check(int rc) {
        if (rc != SQLITE_OK) fail();
    }
    [[noreturn]] void fail() { throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_)); }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

class SqliteStore final : public Store {
public:
    explicit SqliteStore(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw std::runtime_error("cannot open " + path + ": " + why);
        }
        sqlite3_busy_timeout(db_, 5000);
        exec("PRAGMA journal_mode = WAL");
        exec("PRAGMA synchronous = NORMAL");
        exec(kSchema);
        Statement count(db_, "SELECT count(*) FROM seeds WHERE game IS NULL");
        count.step();
        waiting_ = count.integer(0);
    }
    ~SqliteStore() override { sqlite3_close(db_); }

    Added add(const Submission& s, Entry& entry) override {
        std::lock_guard lock(mutex_);
        Transaction t(*this);
        if (std::optional<std::pair<Entry, std::string>> had = find(s.entry.id)) {
            entry = had->first;
            entry.rank = rank(entry);
            return had->second == s.tokenHash ? Added::Again : Added::OtherPlayer;
        }
        if (!s.entry.name.empty()) {
            Statement owner(db_, "SELECT token_hash FROM players WHERE name = ?");
            owner.bind(1, s.entry.name);
            if (owner.step() && owner.text(0) != s.tokenHash) return Added::NameTaken;
        }
        if (s.entry.board == "open") {
            Statement seed(db_, "SELECT issued, game FROM seeds WHERE seed = ?");
            seed.bind(1, std::to_string(s.entry.seed));
            if (!seed.step()) return Added::SeedUnknown;
            if (!seed.text(1).empty()) return Added::SeedUsed;
            if (seed.integer(0) > s.latestIssueMs) return Added::SeedTooRecent;
            Statement use(db_, "UPDATE seeds SET game = ? WHERE seed = ?");
            use.bind(1, s.entry.id).bind(2, std::to_string(s.entry.seed)).step();
        }
        const int64_t waiting = waiting_ - (s.entry.board == "open");
        if (!s.entry.name.empty()) {
            Statement bindName(db_, "INSERT OR IGNORE INTO players (name, token_hash, since) VALUES (?, ?, ?)");
            bindName.bind(1, s.entry.name).bind(2, s.tokenHash).bind(3, s.entry.receivedMs).step();
        }
        Statement insert(db_,
                         "INSERT INTO games (id, name, token_hash, score, winner, length_ms, checkpoints, board, day, "
                         "seed, received, recording) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const Entry& e = s.entry;
        insert.bind(1, e.id).bind(2, e.name).bind(3, s.tokenHash).bind(4, e.score).bind(5, int64_t{e.winner});
        insert.bind(6, e.lengthMs).bind(7, int64_t{e.checkpoints}).bind(8, e.board).bind(9, e.day);
        insert.bind(10, std::to_string(e.seed)).bind(11, e.receivedMs).blob(12, s.recording).step();
        t.commit();
        ++version_;
        waiting_ = waiting;
        entry = e;
        entry.rank = rank(entry);
        return Added::New;
    }

    bool issueSeed(uint64_t seed, int64_t nowMs, int64_t lifeMs, int64_t most) override {
        std::lock_guard lock(mutex_);
        Transaction t(*this);
        Statement forget(db_, "DELETE FROM seeds WHERE game IS NULL AND issued < ?");
        forget.bind(1, nowMs - lifeMs).step();
        const int64_t waiting = waiting_ - sqlite3_changes(db_);
        if (waiting >= most) {
            t.commit();
            waiting_ = waiting;
            return false;
        }
        Statement issue(db_, "INSERT OR IGNORE INTO seeds (seed, issued) VALUES (?, ?)");
        issue.bind(1, std::to_string(seed)).bind(2, nowMs).step();
        const bool issued = sqlite3_changes(db_) == 1;
        t.commit();
        waiting_ = waiting + issued;
        return issued;
    }

    std::vector<Entry> board(const std::string& board, const std::string& day, size_t limit) override {
        std::lock_guard lock(mutex_);
        Statement q(db_, (std::string("SELECT ") + kEntryColumns +
                          " FROM games WHERE board = ? AND day = ? ORDER BY score DESC, length_ms, received, id LIMIT ?")
                             .c_str());
        q.bind(1, board).bind(2, day).bind(3, static_cast<int64_t>(limit));
        std::vector<Entry> entries;
        while (q.step()) {
            entries.push_back(q.entry());
            entries.back().rank = static_cast<int>(entries.size());
        }
        return entries;
    }

    std::optional<Entry> game(const std::string& id) override {
        std::lock_guard lock(mutex_);
        std::optional<std::pair<Entry, std::string>> had = find(id);
        if (!had) return std::nullopt;
        had->first.rank = rank(had->first);
        return had->first;
    }

    std::optional<uint64_t> boardsVersion() const override { return version_.load(); }

    std::optional<std::string> recording(const std::string& id) override {
        std::lock_guard lock(mutex_);
        Statement q(db_, "SELECT recording FROM games WHERE id = ?");
        q.bind(1, id);
        if (!q.step()) return std::nullopt;
        return q.text(0);
    }

private:
    class Transaction {
    public:
        explicit Transaction(SqliteStore& s) : s_(s) { s_.exec("BEGIN IMMEDIATE"); }
        ~Transaction() {
            if (!done_) sqlite3_exec(s_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        void commit() {
            s_.exec("COMMIT");
            done_ = true;
        }

    private:
        SqliteStore& s_;
        bool done_ = false;
    };

    void exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string why = error ? error : sqlite3_errmsg(db_);
            sqlite3_free(error);
            throw std::runtime_error("SQLite: " + why);
        }
    }

    // A game and the hash of the token that sent it.
    std::optional<std::pair<Entry, std::string>> find(const std::string& id) {
        Statement q(db_, (std::string("SELECT ") + kEntryColumns + ", token_hash FROM games WHERE id = ?").c_str());
        q.bind(1, id);
        if (!q.step()) return std::nullopt;
        return std::make_pair(q.entry(), q.text(10));
    }

    int rank(const Entry& e) {
        Statement q(db_,
                    "SELECT count(*) FROM games WHERE board = ?1 AND day = ?2 AND (score > ?3 OR (score = ?3 AND "
                    "(length_ms < ?4 OR (length_ms = ?4 AND (received < ?5 OR (received = ?5 AND id < ?6))))))");
        q.bind(1, e.board).bind(2, e.day).bind(3, e.score).bind(4, e.lengthMs).bind(5, e.receivedMs).bind(6, e.id);
        q.step();
        return static_cast<int>(q.integer(0)) + 1;
    }

    sqlite3* db_ = nullptr;
    std::mutex mutex_;
    // Seeds issued and not used, as the file holds them: counted once when
    // opened, then kept, as one server process owns its file.
    int64_t waiting_ = 0;
    std::atomic<uint64_t> version_{0};
};

}  // namespace

std::unique_ptr<Store> openSqliteStore(const std::string& path, std::string& error) {
    return openBackend<SqliteStore>(path, error);
}

}  // namespace hall
