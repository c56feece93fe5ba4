// SPDX-License-Identifier: MIT
// The board in PostgreSQL, for several servers on one database: every rule
// that must hold across them is kept by the database itself in one
// transaction (a game's identity and a name's owner by their keys, a seed's
// single use by an update that only an unused seed passes), never in a
// server's memory.
#include <libpq-fe.h>

#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "hall/store.h"

namespace hall {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS players (
  name TEXT PRIMARY KEY,
  token_hash TEXT NOT NULL,
  since BIGINT NOT NULL
);
CREATE TABLE IF NOT EXISTS games (
  id TEXT PRIMARY KEY,
  name TEXT NOT NULL,
  token_hash TEXT NOT NULL,
  score BIGINT NOT NULL,
  winner BOOLEAN NOT NULL,
  length_ms BIGINT NOT NULL,
  checkpoints INTEGER NOT NULL,
  board TEXT NOT NULL,
  day TEXT NOT NULL,
  seed TEXT NOT NULL,
  received BIGINT NOT NULL,
  recording BYTEA NOT NULL
);
CREATE INDEX IF NOT EXISTS games_by_place ON games (board, day, score DESC, length_ms, received, id);
CREATE TABLE IF NOT EXISTS seeds (
  seed TEXT PRIMARY KEY,
  issued BIGINT NOT NULL,
  game TEXT
);
CREATE INDEX IF NOT EXISTS seeds_waiting ON seeds (issued) WHERE game IS NULL;
)";

constexpr const char* kEntryColumns =
    "id, name, score, winner::int, length_ms, checkpoints, board, day, seed, received";

// One query's result, cleared when it goes.
class Result {
public:
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    int rows() const { return PQntuples(r_); }
    std::string text(int row, int col) const {
        return std::string(PQgetvalue(r_, row, col), static_cast<size_t>(PQgetlength(r_, row, col)));
    }
    int64_t integer(int row, int col) const { return std::stoll(text(row, col)); }
    // Rows an INSERT, UPDATE or DELETE touched.
    int affected() const { return std::atoi(PQcmdTuples(r_)); }
    bool null(int row, int col) const { return PQgetisnull(r_, row, col); }
    ExecStatusType status() const { return PQresultStatus(r_); }
    std::string error() const {
        const std::string why = r_ ? PQresultErrorMessage(r_) : "out of memory";
        return why.substr(0, why.find_last_not_of('\n') + 1);
    }
    // The SQLSTATE of an error, such as 23505 for a key already there.
    std::string state() const {
        const char* s = r_ ? PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr;
        return s ? s : "";
    }
    Entry entry(int row) const {
        Entry e;
        e.id = text(row, 0);
        e.name = text(row, 1);
        e.score = integer(row, 2);
        e.winner = integer(row, 3) != 0;
        e.lengthMs = integer(row, 4);
        e.checkpoints = static_cast<int>(integer(row, 5));
        e.board = text(row, 6);
        e.day = text(row, 7);
        e.seed = std::stoull(text(row, 8));
        e.receivedMs = integer(row, 9);
        return e;
    }

private:
    PGresult* r_;
};

// A query's parameters as text; a parameter may be sent as bytes instead (bytea).
struct Params {
    std::vector<std::string> values;
    std::vector<int> binary;
    Params& operator<<(const std::string& s) {
        values.push_back(s);
        binary.push_back(0);
        return *this;
    }
    Params& operator<<(int64_t v) { return *this << std::to_string(v); }
    Params& bytes(const std::string& s) {
        values.push_back(s);
        binary.push_back(1);
        return *this;
    }
};

class Connection {
public:
    explicit Connection(const std::string& address) : c_(PQconnectdb(address.c_str())) {
        if (PQstatus(c_) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(c_);
            PQfinish(c_);
            throw std::runtime_error("PostgreSQL: " + why.substr(0, why.find_last_not_of('\n') + 1));
        }
    }
    ~Connection() { PQfinish(c_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs a query; throws on an error. `binaryResult` asks for bytes rather than text.
    std::unique_ptr<Result> run(const char* sql, const Params& p = {}, bool binaryResult = false) {
        std::vector<const char*> values;
        std::vector<int> lengths;
        for (const std::string& v : p.values) {
            values.push_back(v.data());
            lengths.push_back(static_cast<int>(v.size()));
        }
        auto r = std::make_unique<Result>(PQexecParams(c_, sql, static_cast<int>(values.size()), nullptr, values.data(),
                                                       lengths.data(), p.binary.data(), binaryResult ? 1 : 0));
        const ExecStatusType st = r->status();
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) throw std::runtime_error("PostgreSQL: " + r->error());
        return r;
    }
    void exec(const char* sql) {
        Result r(PQexec(c_, sql));
        if (r.status() != PGRES_COMMAND_OK && r.status() != PGRES_TUPLES_OK)
            throw std::runtime_error("PostgreSQL: " + r.error());
    }
    // Before a connection is used again: one the server dropped is opened
    // again, a transaction left open by a failure is rolled back.
    void recover() {
        if (PQstatus(c_) != CONNECTION_OK) PQreset(c_);
        else if (PQtransactionStatus(c_) != PQTRANS_IDLE) PQclear(PQexec(c_, "ROLLBACK"));
    }

private:
    PGconn* c_;
};

class PostgresStore final : public Store {
public:
    explicit PostgresStore(const std::string& address) : address_(address) {
        auto c = std::make_unique<Connection>(address);
        c->exec("SET client_min_messages = warning");
        // Servers starting together make the tables one after the other.
        c->exec("SELECT pg_advisory_lock(7365)");
        c->exec(kSchema);
        c->exec("SELECT pg_advisory_unlock(7365)");
        idle_.push_back(std::move(c));
    }

    Added add(const Submission& s, Entry& entry) override {
        return with([&](Connection& c) {
            const Entry& e = s.entry;
            c.exec("BEGIN");
            // The game's key first: a second send of the same game, here or
            // on another server, waits for the first to commit, then finds it.
            Params game;
            game << e.id << e.name << s.tokenHash << e.score << std::string(e.winner ? "true" : "false") << e.lengthMs
                 << int64_t{e.checkpoints} << e.board << e.day << std::to_string(e.seed) << e.receivedMs;
            game.bytes(s.recording);
            if (c.run("INSERT INTO games (id, name, token_hash, score, winner, length_ms, checkpoints, board, day, seed, "
                      "received, recording) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) "
                      "ON CONFLICT (id) DO NOTHING",
                      game)
                    ->affected() == 0) {
                c.exec("ROLLBACK");
                const auto had = c.run((std::string("SELECT ") + kEntryColumns + ", token_hash FROM games WHERE id = $1").c_str(),
                                       Params() << e.id);
                if (had->rows() == 0) throw std::runtime_error("PostgreSQL: a game both there and not there");
                entry = had->entry(0);
                entry.rank = rank(c, entry);
                return had->text(0, 10) == s.tokenHash ? Added::Again : Added::OtherPlayer;
            }
            // A game without a name is nobody's: no name to bind.
            if (!e.name.empty()) {
                c.run("INSERT INTO players (name, token_hash, since) VALUES ($1, $2, $3) ON CONFLICT (name) DO NOTHING",
                      Params() << e.name << s.tokenHash << e.receivedMs);
                if (c.run("SELECT token_hash FROM players WHERE name = $1", Params() << e.name)->text(0, 0) !=
                    s.tokenHash) {
                    c.exec("ROLLBACK");
                    return Added::NameTaken;
                }
            }
            if (e.board == "open") {
                // One update decides: only a seed issued in time and unused passes it, once.
                const std::string seed = std::to_string(e.seed);
                if (c.run("UPDATE seeds SET game = $1 WHERE seed = $2 AND game IS NULL AND issued <= $3",
                          Params() << e.id << seed << s.latestIssueMs)
                        ->affected() == 0) {
                    const auto why = c.run("SELECT issued, game FROM seeds WHERE seed = $1", Params() << seed);
                    c.exec("ROLLBACK");
                    if (why->rows() == 0) return Added::SeedUnknown;
                    if (!why->null(0, 1)) return Added::SeedUsed;
                    return Added::SeedTooRecent;
                }
            }
            c.exec("COMMIT");
            entry = e;
            entry.rank = rank(c, entry);
            return Added::New;
        });
    }

    bool issueSeed(uint64_t seed, int64_t nowMs, int64_t lifeMs, int64_t most) override {
        return with([&](Connection& c) {
            c.exec("BEGIN");
            c.run("DELETE FROM seeds WHERE game IS NULL AND issued < $1", Params() << nowMs - lifeMs);
            if (c.run("SELECT count(*) FROM seeds WHERE game IS NULL")->integer(0, 0) >= most) {
                c.exec("ROLLBACK");
                return false;
            }
            const bool issued = c.run("INSERT INTO seeds (seed, issued) VALUES ($1, $2) ON CONFLICT (seed) DO NOTHING",
                                      Params() << std::to_string(seed) << nowMs)
                                    ->affected() == 1;
            c.exec("COMMIT");
            return issued;
        });
    }

    std::vector<Entry> board(const std::string& board, const std::string& day, size_t limit) override {
        return with([&](Connection& c) {
            const auto q = c.run((std::string("SELECT ") + kEntryColumns +
                                  " FROM games WHERE board = $1 AND day = $2 ORDER BY score DESC, length_ms, received, id "
                                  "LIMIT $3")
                                     .c_str(),
                                 Params() << board << day << static_cast<int64_t>(limit));
            std::vector<Entry> entries;
            for (int i = 0; i < q->rows(); ++i) {
                entries.push_back(q->entry(i));
                entries.back().rank = i + 1;
            }
            return entries;
        });
    }

    std::optional<Entry> game(const std::string& id) override {
        return with([&](Connection& c) -> std::optional<Entry> {
            const auto q = c.run((std::string("SELECT ") + kEntryColumns + " FROM games WHERE id = $1").c_str(),
                                 Params() << id);
            if (q->rows() == 0) return std::nullopt;
            Entry e = q->entry(0);
            e.rank = rank(c, e);
            return e;
        });
    }

    std::optional<std::string> recording(const std::string& id) override {
        return with([&](Connection& c) -> std::optional<std::string> {
            const auto q = c.run("SELECT recording FROM games WHERE id = $1", Params() << id, true);
            if (q->rows() == 0) return std::nullopt;
            return q->text(0, 0);
        });
    }

private:
    // Runs `use` on a connection of the pool (opening one when none is idle
    // and fewer than kMostConnections are open), once more on a fresh
    // connection when the first try failed on a broken one.
    static constexpr size_t kMostConnections = 8;
    template <class Use>
    auto with(Use use) -> decltype(use(std::declval<Connection&>())) {
        std::unique_ptr<Connection> c = take();
        struct Back {
            PostgresStore& s;
            std::unique_ptr<Connection>& c;
            ~Back() { s.give(std::move(c)); }
        } back{*this, c};
        try {
            return use(*c);
        } catch (const std::exception&) {
            c->recover();
            throw;
        }
    }
    std::unique_ptr<Connection> take() {
        std::unique_lock lock(mutex_);
        free_.wait(lock, [&] { return !idle_.empty() || open_ < kMostConnections; });
        if (!idle_.empty()) {
            std::unique_ptr<Connection> c = std::move(idle_.back());
            idle_.pop_back();
            return c;
        }
        ++open_;
        lock.unlock();
        try {
            return std::make_unique<Connection>(address_);
        } catch (...) {
            lock.lock();
            --open_;
            free_.notify_one();
            throw;
        }
    }
    void give(std::unique_ptr<Connection> c) {
        {
            std::lock_guard lock(mutex_);
            idle_.push_back(std::move(c));
        }
        free_.notify_one();
    }

    int rank(Connection& c, const Entry& e) {
        const auto q = c.run(
            "SELECT count(*) FROM games WHERE board = $1 AND day = $2 AND (score > $3 OR (score = $3 AND "
            "(length_ms < $4 OR (length_ms = $4 AND (received < $5 OR (received = $5 AND id < $6))))))",
            Params() << e.board << e.day << e.score << e.lengthMs << e.receivedMs << e.id);
        return static_cast<int>(q->integer(0, 0)) + 1;
    }

    std::string address_;
    std::mutex mutex_;
    std::condition_variable free_;
    std::vector<std::unique_ptr<Connection>> idle_;
    size_t open_ = 1;
};

}  // namespace

std::unique_ptr<Store> openPostgresStore(const std::string& address, std::string& error) {
    return openBackend<PostgresStore>(address, error);
}

}  // namespace hall
