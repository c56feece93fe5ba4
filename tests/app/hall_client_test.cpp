// SPDX-License-Identifier: MIT
// The sender against a stand-in server: the wire, the queue kept while it is down or busy, refusals, seeds ahead.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "app/hall_client.h"
#include "scratch.h"

namespace fs = std::filesystem;

namespace {

size_t queued(const std::string& folder) {
    const fs::path q = fs::path(folder) / app::kQueueFolder;
    return fs::exists(q) ? size_t(std::distance(fs::directory_iterator(q), fs::directory_iterator())) : 0;
}

bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (done()) return true;
    return false;
}

// Answers POST /api/games with `status` (and keeps what came), GET /api/seed with seed 18446744073709551557.
struct StandIn {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::mutex mutex;
    int status = 201;
    std::vector<std::string> bodies, tokens;

    StandIn() {
        server.Post("/api/games", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            bodies.push_back(req.body);
            tokens.push_back(req.get_header_value("Authorization"));
            res.status = status;
            res.set_content(status < 300 ? R"({"id":"a1","score":1200,"result":"GAME OVER","rank":3,"board":"open"})"
                                         : R"({"error":"the seed 7 was not issued by this server"})",
                            "application/json");
        });
        server.Get("/api/seed", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"seed":18446744073709551557,"issued":"2026-12-07T21:00:00Z"})", "application/json");
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~StandIn() { server.stop(), thread.join(); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }
    size_t received() {
        std::lock_guard lock(mutex);
        return bodies.size();
    }
};

}  // namespace

TEST(HallClient, TheTokenIsMadeOnceAndKept) {
    const std::string dir = freshFolder("hall-token");
    std::string error;
    const std::string token = app::playerToken(dir, error);
    ASSERT_EQ(token.size(), 64u) << error;
    EXPECT_EQ(app::playerToken(dir, error), token);
    EXPECT_NE(app::playerToken(freshFolder("hall-token2"), error), token);
    std::ofstream(fs::path(dir) / app::kTokenFile) << "edited by hand\n";
    const std::string remade = app::playerToken(dir, error);
    EXPECT_EQ(remade.size(), 64u);
    EXPECT_NE(remade, token);
    EXPECT_EQ(readFile(fs::path(dir) / app::kTokenFile), remade + "\n");
}

// Down, busy (503), up: the games wait in order and go with the next; a refusal leaves the queue; seeds come ahead.
TEST(HallClient, GamesWaitWhileTheServerCannotTakeThemAndARefusalIsFinal) {
    const std::string dir = freshFolder("hall-queue");
    const std::string token(64, 'a');
    const std::string closed = StandIn().url();
    {
        app::HallSender down(closed, token, dir);
        down.send("game 1\n");
        EXPECT_FALSE(down.takeSeed());
    }
    EXPECT_EQ(queued(dir), 1u);  // all handed over is on disk when the sender is gone

    StandIn server;
    server.status = 503;
    {
        // The server's address as written in the setting, a stale seed from another server ignored.
        std::ofstream(fs::path(dir) / app::kSeedFile) << "5 http://elsewhere\n";
        app::HallSender busy(server.url(), token, dir);
        EXPECT_TRUE(eventually([&] { return readFile(fs::path(dir) / app::kSeedFile) ==
                                            "18446744073709551557 " + server.url().substr(0, server.url().size() - 1) + "\n"; }));
        EXPECT_EQ(server.received(), 1u) << "a waiting game goes when the sender starts";
        busy.send("game 2\n");
        EXPECT_TRUE(eventually([&] { return server.received() == 2 && queued(dir) == 2; }));
    }
    EXPECT_EQ(server.received(), 2u) << "a busy server stops the round at the first game";
    EXPECT_EQ(queued(dir), 2u);

    server.status = 201;
    {
        app::HallSender up(server.url(), token, dir);
        EXPECT_EQ(up.takeSeed(), 18446744073709551557ull) << "a seed fetched in an earlier run is the first game's";
        up.send("game 3\n");
        EXPECT_TRUE(eventually([&] { return server.received() == 5 && queued(dir) == 0; }));
        EXPECT_TRUE(eventually([&] { return up.takeSeed().has_value(); })) << "the next seed is fetched at once";
    }
    {
        std::lock_guard lock(server.mutex);
        EXPECT_EQ(server.bodies, (std::vector<std::string>{"game 1\n", "game 1\n", "game 1\n", "game 2\n", "game 3\n"}));
        for (const std::string& t : server.tokens) EXPECT_EQ(t, "Bearer " + token);
    }

    server.status = 409;
    {
        app::HallSender refused(server.url(), token, dir);
        refused.send("game 4\n");
        EXPECT_TRUE(eventually([&] { return server.received() == 6 && queued(dir) == 0; }));
    }
    const app::HallAnswer a = app::postGame(server.url(), token, "game 5\n");
    EXPECT_TRUE(a.refused());
    EXPECT_EQ(a.reason(), "the seed 7 was not issued by this server");
    server.status = 200;
    EXPECT_EQ(app::acceptedInWords(app::postGame(server.url(), token, "game 5\n").body),
              "score 1200, GAME OVER, place 3 on the open board");
}
