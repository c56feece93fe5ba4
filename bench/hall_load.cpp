// SPDX-License-Identifier: MIT
// hvezda-hall-load: load on running hvezda-hall servers over HTTP, from
// clients on this machine (127.0.0.1 only). It seals distinct games of
// today's daily seed (so any server takes them without asking for a seed),
// sends them from concurrent clients and reads the board:
//
//   hvezda-hall-load --url http://127.0.0.1:PORT [--url ...] [--games N]
//                    [--clients C] [--rate R] [--read-seconds S] [--readers K]
//   hvezda-hall-load --write-games DIR --games N [--day YYYY-MM-DD]
//
// Upload-to-board is the time from a game's moment to be sent (its place in
// the schedule at --rate R a second, else when its client sends it) until
// the server that did NOT take it (with one server: the same one) gives the
// game back by its id. The servers need --submissions-per-minute 0: every
// client here has the same address.
#include <CLI/CLI.hpp>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/seal.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string today() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    return text;
}

// Game i of a day: its own keys (an advance of 100 + i % 97 ms and, in 15
// places, left or right by a bit of i / 97), so no two are one game; it plays
// on until the ship is lost.
std::string script(const std::string& day, int i) {
    std::ostringstream s;
    s << "daily " << day << "\nplayer " << day << "T12:00:00+00:00 Zátěž " << i % 50 << "\n";
    for (int j = 1; j <= 150; ++j) {
        s << "keydown 88\nadvance 40\nkeyup 88\nadvance 40\n";
        if (j % 10 == 0) {
            const int key = (i / 97 >> (j / 10 - 1)) & 1 ? 39 : 37;
            s << "keydown " << key << "\nadvance " << 100 + i % 97 << "\nkeyup " << key << "\n";
        }
    }
    s << "advance 300000\n";
    return s.str();
}

std::vector<std::string> sealGames(const std::string& day, int first, int n) {
    std::vector<std::string> games(static_cast<size_t>(n));
    std::atomic<int> next{0}, failed{0};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
        workers.emplace_back([&] {
            for (int i; (i = next++) < n;) {
                std::istringstream in(script(day, first + i));
                if (driver::sealScript(in, games[static_cast<size_t>(i)]).exitCode != 0) ++failed;
            }
        });
    for (std::thread& t : workers) t.join();
    if (failed) throw std::runtime_error(std::to_string(failed.load()) + " games could not be sealed");
    return games;
}

// Client i's token: one name a token (names are Zátěž 0..49).
std::string token(int i) { return "hall-load-token-" + std::to_string(i % 50) + "-0123456789"; }

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Load on running hvezda-hall servers (127.0.0.1 only), or the games it sends written to a folder",
                 "hvezda-hall-load"};
    std::vector<std::string> urls;
    std::string writeGames, day = today();
    int games = 1000, first = 0, clients = 16, readers = 8;
    double rate = 0, readSeconds = 5;
    app.add_option("--url", urls, "a server, http://127.0.0.1:PORT (twice: uploads alternate, each read on the other)");
    app.add_option("--games", games, "games to send")->capture_default_str();
    app.add_option("--first", first, "the first game's number (games already sent are not new)")->capture_default_str();
    app.add_option("--clients", clients, "concurrent senders")->capture_default_str();
    app.add_option("--rate", rate, "games a second in all (0: as fast as the servers take them)")->capture_default_str();
    app.add_option("--read-seconds", readSeconds, "how long the board is read after the uploads (0: not)")
        ->capture_default_str();
    app.add_option("--readers", readers, "concurrent board readers")->capture_default_str();
    app.add_option("--write-games", writeGames, "only seal the games, as DIR/NNNNN.sim");
    app.add_option("--day", day, "the daily seed's date (default: today, UTC)");
    CLI11_PARSE(app, argc, argv);

    const auto sealStart = Clock::now();
    const std::vector<std::string> recordings = sealGames(day, first, games);
    std::printf("sealed %d games of %s in %.1f s\n", games, day.c_str(), msSince(sealStart) / 1000);
    if (!writeGames.empty()) {
        std::filesystem::create_directories(writeGames);
        for (int i = 0; i < games; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/%05d.sim", i);
            std::ofstream(writeGames + name, std::ios::binary) << recordings[static_cast<size_t>(i)];
        }
        return 0;
    }
    if (urls.empty()) {
        std::cerr << "hvezda-hall-load: give --url (or --write-games)\n";
        return 2;
    }
    for (const std::string& u : urls)
        if (u.rfind("http://127.0.0.1:", 0) != 0) {
            std::cerr << "hvezda-hall-load: only http://127.0.0.1:PORT servers are loaded\n";
            return 2;
        }

    // Uploads.
    std::atomic<int> next{0}, created{0}, refused{0}, busy{0};
    std::mutex mutex;
    std::vector<double> toBoard;
    const auto start = Clock::now();
    std::vector<std::thread> senders;
    for (int c = 0; c < clients; ++c)
        senders.emplace_back([&, c] {
            std::vector<std::unique_ptr<httplib::Client>> to;
            for (const std::string& u : urls) {
                to.push_back(std::make_unique<httplib::Client>(u));
                to.back()->set_read_timeout(30, 0);
            }
            std::vector<double> mine;
            for (int i; (i = next++) < games;) {
                const size_t server = static_cast<size_t>(i) % urls.size(), other = (server + 1) % urls.size();
                Clock::time_point due = Clock::now();
                if (rate > 0) {
                    due = start + std::chrono::microseconds(static_cast<int64_t>(i * 1e6 / rate));
                    std::this_thread::sleep_until(due);
                }
                httplib::Headers auth{{"Authorization", "Bearer " + token(i)}};
                for (;;) {
                    auto r = to[server]->Post("/api/games", auth, recordings[static_cast<size_t>(i)], "text/plain");
                    if (r && r->status == 503) {
                        ++busy;
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                        continue;
                    }
                    if (!r || r->status != 201) {
                        ++refused;
                        if (refused < 5)
                            std::fprintf(stderr, "game %d: %s\n", i,
                                         r ? (std::to_string(r->status) + " " + r->body).c_str() : "no answer");
                        break;
                    }
                    const std::string id = nlohmann::json::parse(r->body).value("id", "");
                    auto back = to[other]->Get(("/api/games/" + id).c_str());
                    if (back && back->status == 200) {
                        ++created;
                        mine.push_back(msSince(due));
                    } else {
                        ++refused;
                    }
                    break;
                }
            }
            std::lock_guard lock(mutex);
            toBoard.insert(toBoard.end(), mine.begin(), mine.end());
        });
    for (std::thread& t : senders) t.join();
    const double seconds = msSince(start) / 1000;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("uploads: %d games on the board, %d refused or lost, %d answers 503 (sent again) in %.2f s\n",
                created.load(), refused.load(), busy.load(), seconds);
    std::printf("verified games per second: %.0f (%.0f per core, %u cores)\n", created / seconds, created / seconds / cores,
                cores);
    std::printf("upload to board: median %.1f ms, p99 %.1f ms\n", percentile(toBoard, 0.5), percentile(toBoard, 0.99));

    // Board reads.
    if (readSeconds > 0) {
        std::vector<double> reads;
        std::atomic<int> failedReads{0};
        const auto readStart = Clock::now();
        const auto until = readStart + std::chrono::milliseconds(static_cast<int64_t>(readSeconds * 1000));
        std::vector<std::thread> readerThreads;
        for (int k = 0; k < readers; ++k)
            readerThreads.emplace_back([&, k] {
                httplib::Client client(urls[static_cast<size_t>(k) % urls.size()]);
                std::vector<double> mine;
                while (Clock::now() < until) {
                    const auto t = Clock::now();
                    auto r = client.Get(("/api/board?board=daily&day=" + day).c_str());
                    if (r && r->status == 200) mine.push_back(msSince(t));
                    else ++failedReads;
                }
                std::lock_guard lock(mutex);
                reads.insert(reads.end(), mine.begin(), mine.end());
            });
        for (std::thread& t : readerThreads) t.join();
        const double s = msSince(readStart) / 1000;
        std::printf("board reads per second: %.0f (%zu in %.1f s, %d failed), median %.2f ms, p99 %.2f ms\n",
                    static_cast<double>(reads.size()) / s, reads.size(), s, failedReads.load(), percentile(reads, 0.5),
                    percentile(reads, 0.99));
    }
    return refused > 0 ? 1 : 0;
}
